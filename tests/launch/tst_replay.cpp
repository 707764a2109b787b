// The replay of a website's instructions on a real data file, typing into the recording key backend:
// order, counts, event type names, waits, and what other commands run during a wait may do.

#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/StatementText.h"
#include "launch/ReplayWebsite.h"
#include "launch/WaitMilliseconds.h"
#include "platform/error/AppError.h"
#include "support/RecordingKeySender.h"
#include "platform/screen/Screen.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int Text = 1;
constexpr int Enter = 2;
constexpr int Tab = 3;
constexpr int Wait = 4;
constexpr int ShiftTab = 5;
// Event types whose names are near the five the replay knows.
constexpr int LowerCaseWait = 6;
constexpr int UpperCaseTab = 7;
constexpr int TabWithBlank = 8;

const QString Link = QStringLiteral("https://login.example.test/sign-in?next=%2Fhome");
const QString NoText;

// What the keys typed: characters as themselves, {ENTER}, {TAB} and +{TAB} for the keys.
QString typed(const std::vector<Keys::KeyStroke>& strokes)
{
    QString text;
    for (const Keys::KeyStroke& stroke : strokes) {
        const QString shift = (stroke.modifiers & Keys::Shift) ? QStringLiteral("+") : QString();
        if (stroke.key == Keys::Key::Enter)
            text += shift + QStringLiteral("{ENTER}");
        else if (stroke.key == Keys::Key::Tab)
            text += shift + QStringLiteral("{TAB}");
        else
            text += shift + QString::fromUcs4(&stroke.character, 1);
    }
    return text;
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replaysInTheOrderOfTheKeys();
    void typesEachInstruction_data();
    void typesEachInstruction();
    void waits_data();
    void waits();
    void aLongWaitKeepsItsFullTime();
    void whileAReplayRunsAnotherLaunchIsIgnored();
    void databaseWorkDuringAWaitDoesNotDisturbTheReplay();
    void noWebsiteSelectedDoesNothing_data();
    void noWebsiteSelectedDoesNothing();
    void aMissingBrowserIsReportedAndTheKeysStillGo();
    void aFailureLeavesNothingHeld();

private:
    // count and text are statement values: "Null", a number, or quoted text; text is enciphered when quoted.
    void addInstruction(int id, int websiteId, int eventType, const QString& count = QStringLiteral("Null"),
                        const QString& plainText = QString());
    void replay(int websiteId);
    // Runs the work once, during the first wait of the replay that runs next.
    void duringTheWait(std::function<void()> work);

    // Made afresh for each test.
    std::optional<TempDataFolder> m_folder;
    std::optional<Keys::RecordingKeySender> m_keys;
    std::optional<Desktop::RecordingShell> m_shell;
    std::optional<ScriptedDialogs> m_dialogs;
    std::optional<QTimer> m_tmrWait;
};

void TestReplay::init()
{
    // Websites 1 to 3 with no instructions yet, and the event types near the ones the replay knows.
    seedWebsites(m_folder.emplace().dataFilePath(), numberedWebsites(3));
    m_folder->execute({"INSERT INTO EventType (EventTypeID, EventType) VALUES (6, 'wait')",
                       "INSERT INTO EventType (EventTypeID, EventType) VALUES (7, 'TAB')",
                       "INSERT INTO EventType (EventTypeID, EventType) VALUES (8, 'Tab ')"});
    gobjEncrypt = std::make_unique<dsEncrypt>();
    m_keys.emplace();
    m_shell.emplace();
    m_dialogs.emplace();
    connect(&m_tmrWait.emplace(), &QTimer::timeout, this, [this] { tmrWait_Timer(*m_tmrWait); });
}

void TestReplay::cleanup()
{
    m_tmrWait.reset();
    m_dialogs.reset();
    m_shell.reset();
    m_keys.reset();
    gobjEncrypt.reset();
    m_folder.reset();
}

void TestReplay::addInstruction(int id, int websiteId, int eventType, const QString& count, const QString& plainText)
{
    const QString text = plainText.isEmpty()
                             ? QStringLiteral("Null")
                             : QLatin1Char('\'') + FixQuotes(gobjEncrypt->Encrypt2(plainText)) + QLatin1Char('\'');
    m_folder->execute(
        {QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, EventTypeID, "
                        "NumberOfTimes, TextToTypeIn) VALUES (%1, %2, %3, %4, %5)")
             .arg(QString::number(id), QString::number(websiteId), QString::number(eventType), count, text)});
}

void TestReplay::replay(int websiteId)
{
    ReplayWebsite(*m_tmrWait, QString::number(websiteId), Link, nullptr);
}

void TestReplay::duringTheWait(std::function<void()> work)
{
    QTimer::singleShot(50, this, std::move(work));
}

void TestReplay::replaysInTheOrderOfTheKeys()
{
    addInstruction(30, 1, Enter);
    addInstruction(10, 1, Text, "Null", "user");
    addInstruction(15, 2, Text, "Null", "other website");
    addInstruction(20, 1, Tab);
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("user{TAB}{ENTER}"));
    QCOMPARE(m_shell->starts.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m_shell->starts.front().argument), Link);
    // A website without instructions only opens its link.
    replay(3);
    QCOMPARE(m_shell->starts.size(), std::size_t{2});
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("user{TAB}{ENTER}"));
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestReplay::typesEachInstruction_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");

    QString printable;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        printable += QChar(c);
    QTest::newRow("Tab, no count") << Tab << "Null" << NoText << "{TAB}";
    QTest::newRow("Tab 3") << Tab << "3" << NoText << "{TAB}{TAB}{TAB}";
    QTest::newRow("Tab 0") << Tab << "0" << NoText << "";
    QTest::newRow("Tab 2.7") << Tab << "2.7" << NoText << "{TAB}{TAB}";
    QTest::newRow("Tab ' 2 '") << Tab << "' 2 '" << NoText << "{TAB}{TAB}";
    QTest::newRow("Tab '3 times'") << Tab << "'3 times'" << NoText << "";
    QTest::newRow("Tab '1,5'") << Tab << "'1,5'" << NoText << "";
    QTest::newRow("Shift+Tab 2") << ShiftTab << "2" << NoText << "+{TAB}+{TAB}";
    QTest::newRow("Enter ignores its count") << Enter << "5" << NoText << "{ENTER}";
    QTest::newRow("Text of every printable character, reserved ones too") << Text << "Null" << printable << printable;
    QTest::newRow("Text without text") << Text << "Null" << NoText << "";
    QTest::newRow("Text ignores its count") << Text << "3" << QStringLiteral("ab") << "ab";
    QTest::newRow("'wait' is not Wait") << LowerCaseWait << "60" << NoText << "";
    QTest::newRow("'TAB' is not Tab") << UpperCaseTab << "1" << NoText << "";
    QTest::newRow("'Tab ' is not Tab") << TabWithBlank << "1" << NoText << "";
}

void TestReplay::typesEachInstruction()
{
    QFETCH(int, eventType);
    QFETCH(QString, count);
    QFETCH(QString, text);
    QFETCH(QString, typed);
    addInstruction(1, 1, Text, "Null", "[");
    addInstruction(2, 1, eventType, count, text);
    addInstruction(3, 1, Text, "Null", "]");
    QElapsedTimer clock;
    clock.start();
    replay(1);
    QCOMPARE(::typed(m_keys->strokes()), QLatin1Char('[') + typed + QLatin1Char(']'));
    QVERIFY2(clock.elapsed() < 5000, "a near-Wait event type paused");
}

void TestReplay::waits_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("atLeastMs");

    // Generous bounds: these say "paused" or "did not pause", not how precisely.
    QTest::newRow("0 does not pause") << "0" << 0;
    QTest::newRow("a negative count does not pause") << "-5" << 0;
    QTest::newRow("0.5 pauses") << "0.5" << 400;
}

void TestReplay::waits()
{
    QFETCH(QString, seconds);
    QFETCH(int, atLeastMs);
    addInstruction(1, 1, Wait, seconds);
    addInstruction(2, 1, Text, "Null", "x");
    // A wait that never ends would hold the test until its time-out; end it here and say so instead.
    bool hung = false;
    QObject guard; // ends the watch with the test
    QTimer::singleShot(8000, &guard, [&] {
        hung = true;
        tmrWait_Timer(*m_tmrWait);
    });
    QElapsedTimer clock;
    clock.start();
    replay(1);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(!hung, "the wait never ended");
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("x"));
    QVERIFY2(elapsed >= atLeastMs, qPrintable(QStringLiteral("paused only %1 ms").arg(elapsed)));
    if (atLeastMs == 0)
        QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("paused %1 ms").arg(elapsed)));
    QVERIFY(!m_tmrWait->isActive());
}

void TestReplay::aLongWaitKeepsItsFullTime()
{
    addInstruction(1, 1, Wait, "70");
    addInstruction(2, 1, Text, "Null", "x");
    int interval = 0;
    bool active = false;
    duringTheWait([&] {
        interval = m_tmrWait->interval();
        active = m_tmrWait->isActive();
        QCOMPARE(typed(m_keys->strokes()), QString());
        tmrWait_Timer(*m_tmrWait); // the tick, 70 seconds early
    });
    replay(1);
    QVERIFY(active);
    QCOMPARE(interval, 70000);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("x"));
}

void TestReplay::whileAReplayRunsAnotherLaunchIsIgnored()
{
    addInstruction(1, 1, Wait, "0.3");
    addInstruction(2, 1, Text, "Null", "first");
    addInstruction(3, 2, Text, "Null", "second");
    gdblRelockMinutes = 15;
    gdblMinutesLeft = 2;
    int pointerDuringReplay = -1;
    duringTheWait([&] {
        pointerDuringReplay = Screen::mousePointer();
        replay(2);
    });
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("first"));
    QCOMPARE(m_shell->starts.size(), std::size_t{1});
    QCOMPARE(pointerDuringReplay, Screen::vbHourglass);
    QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    QCOMPARE(gdblMinutesLeft, 15.0); // a launch counts as activity
    QVERIFY(!gobjConnection);        // the data file is closed again
    // Once the first replay is over, the other website launches as usual.
    replay(2);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("firstsecond"));
}

void TestReplay::databaseWorkDuringAWaitDoesNotDisturbTheReplay()
{
    addInstruction(1, 1, Text, "Null", "a");
    addInstruction(2, 1, Wait, "0.3");
    addInstruction(3, 1, Text, "Null", "b");
    addInstruction(4, 1, Tab, "2");
    Connection* openedByTheOtherCommand = nullptr;
    duringTheWait([&] {
        // A command reads through the shared recordset and deletes the instructions in a unit of its own,
        OpenConnection();
        gobjRecordset->open(QStringLiteral("SELECT * FROM WebsiteInstructions"), *gobjConnection);
        gobjConnection->execute(QStringLiteral("DELETE FROM WebsiteInstructions"));
        gobjRecordset->close();
        gobjRecordset.release();
        CloseConnection();
        // and another one is still at work when the replay goes on.
        OpenConnection();
        openedByTheOtherCommand = gobjConnection.get();
    });
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("ab{TAB}{TAB}"));
    QVERIFY(openedByTheOtherCommand);
    QCOMPARE(gobjConnection.get(), openedByTheOtherCommand);
    QVERIFY(gobjConnection->isOpen());
    CloseConnection();
}

void TestReplay::noWebsiteSelectedDoesNothing_data()
{
    QTest::addColumn<QString>("websiteId");
    QTest::newRow("blank") << "  ";
    QTest::newRow("not a key") << "1 OR 1=1";
    QTest::newRow("negative") << "-1";
}

void TestReplay::noWebsiteSelectedDoesNothing()
{
    QFETCH(QString, websiteId);
    addInstruction(1, 1, Text, "Null", "x");
    gdblRelockMinutes = 15;
    gdblMinutesLeft = 2;
    ReplayWebsite(*m_tmrWait, websiteId, Link, nullptr);
    QVERIFY(m_keys->calls.empty());
    QVERIFY(m_shell->lookedUp.empty());
    QCOMPARE(gdblMinutesLeft, 2.0);
}

void TestReplay::aMissingBrowserIsReportedAndTheKeysStillGo()
{
    addInstruction(1, 1, Text, "Null", "x");
    m_shell->associatedProgram.reset();
    replay(1);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{"Could not find associated Browser"});
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("x"));
}

void TestReplay::aFailureLeavesNothingHeld()
{
    addInstruction(1, 1, Text, "Null", "x");
    const QString dataFile = m_folder->dataFilePath();
    QVERIFY(QFile::rename(dataFile, dataFile + QStringLiteral(".away")));
    QVERIFY_THROWS_EXCEPTION(AppError, replay(1));
    QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    QVERIFY(m_shell->lookedUp.empty());
    QVERIFY(QFile::rename(dataFile + QStringLiteral(".away"), dataFile));
    // The failed launch is over: the next one runs.
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("x"));
}

QTEST_MAIN(TestReplay)
#include "tst_replay.moc"
