#include "system/launch/LaunchControl.h"

#include "platform/keys/SendKeys.h"
#include "system/launch/BrowserWindows.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// How often a launch looks at the active window and at other Quillocks' launches while the event loop runs.
constexpr int WatchIntervalMilliseconds = 50;

LaunchInProgress* current = nullptr;

} // namespace

LaunchInProgress::LaunchInProgress() : m_interrupted(current)
{
    stopLaunch();
    current = this;
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    m_watch.setInterval(WatchIntervalMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &LaunchInProgress::watch);
    m_watch.start();
}

LaunchInProgress::~LaunchInProgress()
{
    current = m_interrupted;
}

void LaunchInProgress::stop(LaunchStopped::Reason reason)
{
    if (!m_stopReason)
        m_stopReason = reason;
}

bool LaunchInProgress::takeSessionLock()
{
    m_sessionLock = SessionLaunchLock::take([this] { return stopped(); });
    return m_sessionLock.has_value();
}

void LaunchInProgress::followFocus()
{
    m_focusLock.startFollowing();
}

void LaunchInProgress::browserStarted(const Desktop::StartedProgram& browser)
{
    m_focusLock.browserStarted(browser);
}

void LaunchInProgress::watch()
{
    watchOtherLaunches();
    if (stopped())
        return;
    if (const std::optional<LaunchStopped::Reason> reason = m_focusLock.follow())
        stop(*reason);
}

void LaunchInProgress::watchOtherLaunches()
{
    if (m_sessionLock && m_sessionLock->anotherLaunchAsks())
        stop(LaunchStopped::Reason::Asked);
}

bool LaunchInProgress::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        stop(LaunchStopped::Reason::Asked);
    return false;
}

void stopLaunch()
{
    if (current)
        current->stop(LaunchStopped::Reason::Asked);
}

bool launchStopped()
{
    return current && current->stopped();
}

void sendLaunchKeys(const QString& keyString)
{
    LaunchInProgress* launch = current;
    std::optional<Focus::WindowId> browserWindow;
    if (launch) {
        launch->watchOtherLaunches();
        if (launch->stopped())
            throw LaunchStopped(*launch->stopReason());
        browserWindow = launch->m_focusLock.beforeKey([launch] { return launch->stopped(); });
    }
    // A key typed while one of the program's own windows has the focus would act there: Enter or Delete in a list.
    if (programWindowIsActive())
        throw LaunchStopped(LaunchStopped::Reason::FocusLost);
    if (!browserWindow)
        sendKeys(keyString);
    else if (!sendKeysOnlyInto(keyString, *browserWindow))
        throw LaunchStopped(launch->m_focusLock.whyNotSent());
    if (launch)
        launch->m_focusLock.keySent();
}
