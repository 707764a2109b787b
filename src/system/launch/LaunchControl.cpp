#include "system/launch/LaunchControl.h"

#include "platform/keys/SendKeys.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {

LaunchInProgress* current = nullptr;

} // namespace

LaunchInProgress::LaunchInProgress() : m_interrupted(current)
{
    stopLaunch();
    current = this;
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

LaunchInProgress::~LaunchInProgress()
{
    current = m_interrupted;
}

bool LaunchInProgress::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_stopped = true;
    return false;
}

void stopLaunch()
{
    if (current)
        current->m_stopped = true;
}

bool launchStopped()
{
    return current && current->stopped();
}

bool programWindowIsActive()
{
    return QApplication::activeWindow() != nullptr;
}

void sendLaunchKeys(const QString& keyString)
{
    if (launchStopped())
        throw LaunchStopped(LaunchStopped::Reason::Asked);
    if (LaunchInProgress* launch = current)
        launch->m_focusLock.beforeKey([launch] { return launch->stopped(); });
    // A key typed while one of the program's own windows has the focus would act there: Enter or Delete in a list.
    if (programWindowIsActive())
        throw LaunchStopped(LaunchStopped::Reason::FocusLost);
    sendKeys(keyString);
}
