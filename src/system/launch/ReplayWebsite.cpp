#include "system/launch/ReplayWebsite.h"

#include "domain/data/InstructionStatements.h"
#include "platform/screen/Screen.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/OpenWebPage.h"
#include "system/launch/PlayInstruction.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

namespace {

// The event loop turns after each instruction: a short pause that lets the keys be delivered.
constexpr int TurnsAfterInstruction = 100;

bool replayRunning = false;

// Marks a replay as running for its lifetime, and shows the hourglass meanwhile.
class RunningReplay
{
public:
    RunningReplay()
    {
        replayRunning = true;
        Screen::setMousePointer(Screen::vbHourglass);
    }
    ~RunningReplay()
    {
        Screen::setMousePointer(Screen::vbDefault);
        replayRunning = false;
    }
    RunningReplay(const RunningReplay&) = delete;
    RunningReplay& operator=(const RunningReplay&) = delete;
};

bool isWebsiteKey(const QString& text)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    return wholeNumber.match(text).hasMatch();
}

// Reads the instructions in a unit of database work of their own, ended before anything else happens:
// the message boxes of the page opening and the waits of the replay run the event loop, and the
// commands that run then make their own units of work.
Recordset readInstructions(const QString& websiteId)
{
    UnitOfWork work;
    return work.snapshot(ReplayInstructionsQuery(websiteId));
}

void letEventsRun()
{
    for (int turn = 0; turn < TurnsAfterInstruction; ++turn)
        QCoreApplication::processEvents();
}

} // namespace

void ReplayWebsite(QTimer& tmrWait, const QString& websiteIdText, const QString& link, QWidget* owner)
{
    const QString websiteId = websiteIdText.trimmed();
    if (replayRunning || !isWebsiteKey(websiteId))
        return;
    const RunningReplay running;
    gdblMinutesLeft = gdblRelockMinutes;

    Recordset instructions = readInstructions(websiteId);
    // Keys typed without the page would go to whatever window has the focus, the user's name and password too.
    if (!OpenWebPage(link, owner))
        return;

    // The main window, and its timer with it, may go while the event loop runs; the replay ends then.
    const QPointer<QTimer> timer(&tmrWait);
    for (; !instructions.eof() && timer; instructions.moveNext()) {
        PlayInstruction(*timer, instructions.fields(QStringLiteral("EventType")),
                        instructions.fields(QStringLiteral("NumberOfTimes")),
                        instructions.fields(QStringLiteral("TextToTypeIn")));
        letEventsRun();
    }
    instructions.close();
}
