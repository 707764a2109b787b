#include "system/launch/ReplayWebsite.h"

#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/error/AppError.h"
#include "domain/steps/StepLimits.h"
#include "platform/app/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/screen/Screen.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchChecks.h"
#include "system/launch/LaunchControl.h"
#include "system/launch/LaunchKeysPreparation.h"
#include "system/launch/OpenWebPage.h"
#include "system/launch/PlayInstruction.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

namespace {

// The event loop turns after each instruction: a short pause that also lets the keys be delivered.
constexpr int TurnsAfterInstruction = 100;

// Shows the hourglass for its lifetime.
class Hourglass
{
public:
    Hourglass() { Screen::setMousePointer(Screen::vbHourglass); }
    ~Hourglass() { Screen::setMousePointer(Screen::vbDefault); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

bool isWebsiteKey(const QString& text)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    return wholeNumber.match(text).hasMatch();
}

struct WebsiteSteps
{
    Recordset instructions;
    int stored = 0; // whatever their event types
    int keyPauseMilliseconds = 0;
};

// The website's pause between keys; none when another program stored one out of range.
int keyPause(UnitOfWork& work, const QString& websiteId)
{
    const double pause = NumberTextBeginsWith(StoredKeyPause(work, websiteId));
    return pause >= 0 && pause <= MaxKeyPauseMilliseconds ? static_cast<int>(pause) : 0;
}

// Reads the instructions in a unit of database work of their own, ended before anything else happens:
// the message boxes of the page opening and the waits of the replay run the event loop, and the
// commands that run then make their own units of work.
WebsiteSteps readSteps(const QString& websiteId)
{
    UnitOfWork work;
    WebsiteSteps steps{work.snapshot(ReplayInstructionsQuery(websiteId))};
    steps.stored = static_cast<int>(NumberTextBeginsWith(work.read(InstructionCountQuery(websiteId)).fields(0).text()));
    steps.keyPauseMilliseconds = keyPause(work, websiteId);
    return steps;
}

void letEventsRun()
{
    for (int turn = 0; turn < TurnsAfterInstruction && !launchStopped(); ++turn)
        QCoreApplication::processEvents();
}

void refuse(const QString& message)
{
    dialogs().msgBox(message, Dialogs::vbExclamation, Application::title());
}

// How far a launch got that stopped for the cause (a sentence's start, "The browser closed during the launch"),
// after stepsDone whole steps, with keysSent key strings sent in all and keysInStep of them in the step it stopped in.
QString stoppedAfter(const QString& cause, int stepsDone, int keysSent, int keysInStep)
{
    if (keysSent == 0)
        return cause + QStringLiteral(", so nothing was typed.");
    if (keysInStep > 0)
        return cause + QStringLiteral("; the launch was stopped during step %1.").arg(stepsDone + 1);
    return cause + QStringLiteral("; the launch was stopped after step %1.").arg(stepsDone);
}

// What the user is told of a launch that stopped before its end (see stoppedAfter); nothing when they asked for it.
QString stopMessage(LaunchStopped::Reason reason, int stepsDone, int keysSent, int keysInStep)
{
    switch (reason) {
    case LaunchStopped::Reason::Asked:
        break;
    case LaunchStopped::Reason::NotInFront:
        return QStringLiteral("The browser window did not come to the front, so nothing was typed.");
    case LaunchStopped::Reason::OtherWindowFirst:
        return QStringLiteral("Another window came to the front before the browser's, so nothing was typed.");
    case LaunchStopped::Reason::FocusLost:
        return stoppedAfter(QStringLiteral("The browser window lost the focus"), stepsDone, keysSent, keysInStep);
    case LaunchStopped::Reason::BrowserClosed:
        return stoppedAfter(QStringLiteral("The browser closed during the launch"), stepsDone, keysSent, keysInStep);
    }
    return {};
}

// The launch itself: its lock on the session's launches is let go when it returns, before the user is told
// anything. Returns what to tell them: why it was refused or stopped; nothing when it ran to its end.
QString launch(QTimer& tmrWait, const QString& websiteId, const QString& link, QWidget* owner)
{
    LaunchInProgress launch;
    WebsiteSteps steps = readSteps(websiteId);
    // Keys typed without the page would go to whatever window has the focus, the user's name and password too.
    if (QString problem = launchProblem(link, steps.instructions, steps.stored); !problem.isEmpty())
        return problem;

    // The main window, and its timer with it, may go while the event loop runs; the replay ends then.
    const QPointer<QTimer> timer(&tmrWait);
    int stepsDone = 0;
    int keysBeforeStep = 0;
    KeyPace pace{steps.keyPauseMilliseconds};
    try {
        if (!launch.takeSessionLock())
            return QStringLiteral("Another Quillock is launching a website and did not stop, so nothing was opened.");
        prepareLaunchKeys(launch);
        launch.followFocus();
        Desktop::StartedProgram browser;
        if (!OpenWebPage(link, owner, &browser))
            return {};
        launch.browserStarted(browser);
        for (Recordset& instructions = steps.instructions; !instructions.eof() && timer && !launch.stopped();
             instructions.moveNext()) {
            keysBeforeStep = launch.keysSent();
            PlayInstruction(*timer, instructions.fields(QStringLiteral("EventType")),
                            instructions.fields(QStringLiteral("NumberOfTimes")),
                            instructions.fields(QStringLiteral("TextToTypeIn")),
                            instructions.fields(QStringLiteral("WebsiteInstructionsID")).text(), pace);
            if (launch.stopped())
                break; // within the step: it was not done
            ++stepsDone;
            letEventsRun();
        }
    } catch (const LaunchStopped& stopped) {
        launch.stop(stopped.reason());
    }
    if (!launch.stopped())
        return {};
    return stopMessage(*launch.stopReason(), stepsDone, launch.keysSent(), launch.keysSent() - keysBeforeStep);
}

} // namespace

QString StoredKeyPause(UnitOfWork& work, const QString& websiteId)
{
    try {
        return work.read(WebsiteKeyPauseQuery(websiteId)).fields(0).text();
    } catch (const AppError&) {
        return QStringLiteral("0");
    }
}

void ReplayWebsite(QTimer& tmrWait, const QString& websiteIdText, const QString& link, QWidget* owner)
{
    const QString websiteId = websiteIdText.trimmed();
    if (!isWebsiteKey(websiteId))
        return;
    const Hourglass hourglass;
    gdblMinutesLeft = gdblRelockMinutes;
    if (const QString message = launch(tmrWait, websiteId, link, owner); !message.isEmpty())
        refuse(message);
}
