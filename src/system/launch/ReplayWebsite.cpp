#include "system/launch/ReplayWebsite.h"

#include "domain/data/InstructionStatements.h"
#include "domain/data/NumberText.h"
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
};

// Reads the instructions in a unit of database work of their own, ended before anything else happens:
// the message boxes of the page opening and the waits of the replay run the event loop, and the
// commands that run then make their own units of work.
WebsiteSteps readSteps(const QString& websiteId)
{
    UnitOfWork work;
    WebsiteSteps steps{work.snapshot(ReplayInstructionsQuery(websiteId))};
    steps.stored = static_cast<int>(NumberTextBeginsWith(work.read(InstructionCountQuery(websiteId)).fields(0).text()));
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

} // namespace

void ReplayWebsite(QTimer& tmrWait, const QString& websiteIdText, const QString& link, QWidget* owner)
{
    const QString websiteId = websiteIdText.trimmed();
    if (!isWebsiteKey(websiteId))
        return;
    const LaunchInProgress launch;
    const Hourglass hourglass;
    gdblMinutesLeft = gdblRelockMinutes;

    WebsiteSteps steps = readSteps(websiteId);
    // Keys typed without the page would go to whatever window has the focus, the user's name and password too.
    if (const QString problem = launchProblem(link, steps.instructions, steps.stored); !problem.isEmpty())
        return refuse(problem);

    // The main window, and its timer with it, may go while the event loop runs; the replay ends then.
    const QPointer<QTimer> timer(&tmrWait);
    int done = 0;
    try {
        prepareLaunchKeys(launch);
        if (!OpenWebPage(link, owner))
            return;
        for (Recordset& instructions = steps.instructions; !instructions.eof() && timer && !launch.stopped();
             instructions.moveNext()) {
            PlayInstruction(*timer, instructions.fields(QStringLiteral("EventType")),
                            instructions.fields(QStringLiteral("NumberOfTimes")),
                            instructions.fields(QStringLiteral("TextToTypeIn")));
            ++done;
            letEventsRun();
        }
    } catch (const LaunchStopped& stopped) {
        switch (stopped.reason()) {
        case LaunchStopped::Reason::Asked:
            break;
        case LaunchStopped::Reason::NotInFront:
            refuse(QStringLiteral("The browser window did not come to the front, so nothing was typed."));
            break;
        case LaunchStopped::Reason::FocusLost:
            if (done == 0)
                refuse(QStringLiteral("The browser window did not have the focus, so nothing was typed."));
            else
                refuse(QStringLiteral("The browser window lost the focus; the launch was stopped after step %1.")
                           .arg(done));
            break;
        }
    }
}
