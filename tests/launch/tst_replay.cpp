// The replay of a website's instructions on a real data file, typing into the recording key backend:
// order, counts, event type names, waits, and what other commands run during a wait may do.

#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/StatementText.h"
#include "launch/ReplayWebsite.h"
#include "launch/WaitMilliseconds.h"
#include "platform/error/AppError.h"
#include "platform/screen/Screen.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"

#include <QFile>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

namespace {

// The event types of a new data file, then three whose names are near the ones the replay knows.
constexpr int Text = 1, Enter = 2, Tab = 3, Wait = 4, ShiftTab = 5, LowerCaseWait = 6, UpperCaseTab = 7,
              TabWithBlank = 8;

const QString Link = QStringLiteral("https://login.example.test/sign-in?next=%2Fhome");

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replaysTheWebsitesInstructionsInTheOrderOfTheirKeys();
    void playsEachInstruction_data();
    void playsEachInstruction();
    void otherCommandsDuringAWaitCannotDisturbTheReplay();
    void aFailureLeavesNothingHeld();

private:
    // count is a statement value: Null, a number or quoted text; the text is stored enciphered.
    void add(int id, int websiteId, int eventType, const QString& count = QStringLiteral("Null"),
             const QString& plainText = QString());
    void replay(int websiteId) { ReplayWebsite(m->tmrWait, QString::number(websiteId), Link, nullptr); }
    // The wait timer's tick, marked among the recorded keys by a Help key, which no replay sends.
    void tick()
    {
        m->keys.calls.push_back({{Keys::Key::Help, static_cast<char32_t>(m->tmrWait.interval())}});
        tmrWait_Timer(m->tmrWait);
    }
    // What the keys typed: characters as themselves, {ENTER}, {TAB} and +{TAB}, and {WAIT <ms>} for a tick.
    QString typed() const;

    struct Fixture
    {
        TempDataFolder folder;
        Keys::RecordingKeySender keys;
        Desktop::RecordingShell shell;
        ScriptedDialogs dialogs;
        QTimer tmrWait;
    };
    std::optional<Fixture> m;
};

void TestReplay::init()
{
    m.emplace();
    seedWebsites(m->folder.dataFilePath(), numberedWebsites(3));
    m->folder.execute({"INSERT INTO EventType (EventTypeID, EventType) VALUES (6, 'wait'), (7, 'TAB'), (8, 'Tab ')"});
    gobjEncrypt = std::make_unique<dsEncrypt>();
    connect(&m->tmrWait, &QTimer::timeout, this, &TestReplay::tick);
}

void TestReplay::cleanup()
{
    m.reset();
    gobjEncrypt.reset();
}

void TestReplay::add(int id, int websiteId, int eventType, const QString& count, const QString& plainText)
{
    const QString text = plainText.isEmpty()
                             ? QStringLiteral("Null")
                             : QLatin1Char('\'') + FixQuotes(gobjEncrypt->Encrypt2(plainText)) + QLatin1Char('\'');
    m->folder.execute(
        {QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, EventTypeID, "
                        "NumberOfTimes, TextToTypeIn) VALUES (%1, %2, %3, %4, %5)")
             .arg(QString::number(id), QString::number(websiteId), QString::number(eventType), count, text)});
}

QString TestReplay::typed() const
{
    QString text;
    for (const Keys::KeyStroke& stroke : m->keys.strokes()) {
        const QString key = stroke.key == Keys::Key::Enter  ? QStringLiteral("{ENTER}")
                            : stroke.key == Keys::Key::Tab  ? QStringLiteral("{TAB}")
                            : stroke.key == Keys::Key::Help ? QStringLiteral("{WAIT %1}").arg(stroke.character)
                                                            : QString::fromUcs4(&stroke.character, 1);
        text += (stroke.modifiers & Keys::Shift ? "+" : "") + key;
    }
    return text;
}

void TestReplay::replaysTheWebsitesInstructionsInTheOrderOfTheirKeys()
{
    add(30, 1, Enter);
    add(10, 1, Text, "Null", "user");
    add(15, 2, Text, "Null", "other website");
    add(20, 1, Tab);
    gdblRelockMinutes = 15;
    gdblMinutesLeft = 2;
    // No website selected: nothing happens, and that is no activity either.
    for (const char* noWebsite : {"  ", "1 OR 1=1", "-1"})
        ReplayWebsite(m->tmrWait, QString::fromLatin1(noWebsite), Link, nullptr);
    QVERIFY(m->shell.lookedUp.empty());
    QCOMPARE(gdblMinutesLeft, 2.0);

    replay(1);
    QCOMPARE(typed(), QStringLiteral("user{TAB}{ENTER}"));
    QCOMPARE(m->shell.starts.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m->shell.starts.front().argument), Link);
    QCOMPARE(gdblMinutesLeft, 15.0); // a launch counts as activity
    QVERIFY(!gobjConnection);        // the data file is closed again
    // A website without instructions only opens its link.
    replay(3);
    QCOMPARE(m->shell.starts.size(), std::size_t{2});
    // A missing browser is reported, and the keys still go.
    m->shell.associatedProgram.reset();
    replay(1);
    QCOMPARE(typed(), QStringLiteral("user{TAB}{ENTER}user{TAB}{ENTER}"));
    QCOMPARE(m->dialogs.messageTexts(), QStringList{"Could not find associated Browser"});
}

// Each instruction between two others: what it types, and how long it waits before the next one.
void TestReplay::playsEachInstruction_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");

    QString printable;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        printable += QChar(c);
    QTest::newRow("Tab, no count") << Tab << "Null"
                                   << ""
                                   << "{TAB}";
    QTest::newRow("Tab 3") << Tab << "3"
                           << ""
                           << "{TAB}{TAB}{TAB}";
    QTest::newRow("Tab 0") << Tab << "0"
                           << ""
                           << "";
    QTest::newRow("Tab 2.7") << Tab << "2.7"
                             << ""
                             << "{TAB}{TAB}";
    QTest::newRow("Tab ' 2 '") << Tab << "' 2 '"
                               << ""
                               << "{TAB}{TAB}";
    QTest::newRow("Tab '3 times'") << Tab << "'3 times'"
                                   << ""
                                   << "";
    QTest::newRow("Tab '1,5'") << Tab << "'1,5'"
                               << ""
                               << "";
    QTest::newRow("Shift+Tab 2") << ShiftTab << "2"
                                 << ""
                                 << "+{TAB}+{TAB}";
    QTest::newRow("Enter ignores its count") << Enter << "5"
                                             << ""
                                             << "{ENTER}";
    QTest::newRow("Text of every printable character, reserved ones too") << Text << "Null" << printable << printable;
    QTest::newRow("Text without text") << Text << "Null"
                                       << ""
                                       << "";
    QTest::newRow("Text ignores its count") << Text << "3"
                                            << "ab"
                                            << "ab";
    QTest::newRow("Wait 0.5") << Wait << "0.5"
                              << ""
                              << "{WAIT 500}";
    QTest::newRow("Wait 0") << Wait << "0"
                            << ""
                            << "";
    QTest::newRow("Wait -5") << Wait << "-5"
                             << ""
                             << "";
    QTest::newRow("'wait' is not Wait") << LowerCaseWait << "60"
                                        << ""
                                        << "";
    QTest::newRow("'TAB' is not Tab") << UpperCaseTab << "1"
                                      << ""
                                      << "";
    QTest::newRow("'Tab ' is not Tab") << TabWithBlank << "1"
                                       << ""
                                       << "";
}

void TestReplay::playsEachInstruction()
{
    QFETCH(int, eventType);
    QFETCH(QString, count);
    QFETCH(QString, text);
    QFETCH(QString, typed);
    add(1, 1, Text, "Null", "[");
    add(2, 1, eventType, count, text);
    add(3, 1, Text, "Null", "]");
    replay(1);
    QCOMPARE(this->typed(), QLatin1Char('[') + typed + QLatin1Char(']'));
    QVERIFY(!m->tmrWait.isActive());
}

void TestReplay::otherCommandsDuringAWaitCannotDisturbTheReplay()
{
    add(1, 1, Text, "Null", "a");
    add(2, 1, Wait, "70");
    add(3, 1, Text, "Null", "b");
    add(4, 1, Tab, "2");
    int pointerDuringTheWait = -1;
    Connection* openedByAnotherCommand = nullptr;
    QTimer::singleShot(50, &m->tmrWait, [&] {
        pointerDuringTheWait = Screen::mousePointer();
        replay(2); // ignored while this replay runs
        // A command reads through the shared recordset and deletes the instructions in a unit of its own,
        OpenConnection();
        gobjRecordset->open(QStringLiteral("SELECT * FROM WebsiteInstructions"), *gobjConnection);
        gobjConnection->execute(QStringLiteral("DELETE FROM WebsiteInstructions"));
        gobjRecordset->close();
        gobjRecordset.release();
        CloseConnection();
        // and another one is still at work when the replay goes on,
        OpenConnection();
        openedByAnotherCommand = gobjConnection.get();
        tick(); // 70 seconds early
    });
    replay(1);
    QCOMPARE(typed(), QStringLiteral("a{WAIT 70000}b{TAB}{TAB}"));
    QCOMPARE(m->shell.starts.size(), std::size_t{1});
    QCOMPARE(pointerDuringTheWait, Screen::vbHourglass);
    QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    QVERIFY(openedByAnotherCommand);
    QCOMPARE(gobjConnection.get(), openedByAnotherCommand);
    QVERIFY(gobjConnection->isOpen());
    CloseConnection();
    // Once the replay is over, another website launches as usual.
    replay(2);
    QCOMPARE(m->shell.starts.size(), std::size_t{2});
}

void TestReplay::aFailureLeavesNothingHeld()
{
    add(1, 1, Text, "Null", "x");
    const QString dataFile = m->folder.dataFilePath();
    QVERIFY(QFile::rename(dataFile, dataFile + QStringLiteral(".away")));
    QVERIFY_THROWS_EXCEPTION(AppError, replay(1));
    QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    QVERIFY(m->shell.lookedUp.empty());
    QVERIFY(QFile::rename(dataFile + QStringLiteral(".away"), dataFile));
    // The failed launch is over: the next one runs.
    replay(1);
    QCOMPARE(typed(), QStringLiteral("x"));
}

QTEST_MAIN(TestReplay)
#include "tst_replay.moc"
