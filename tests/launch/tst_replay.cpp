// The replay of a website's instructions on a real data file, typing into the recording key backend:
// order, counts, event type names, waits, and what other commands run during a wait may do.

#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/StatementText.h"
#include "launch/ReplayWebsite.h"
#include "launch/WaitMilliseconds.h"
#include "platform/error/AppError.h"
#include "platform/keys/RecordingKeySender.h"
#include "platform/screen/Screen.h"
#include "platform/shell/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

constexpr int Text = 1;
constexpr int Enter = 2;
constexpr int Tab = 3;
constexpr int Wait = 4;
constexpr int ShiftTab = 5;
// Event types whose names are near the five the replay knows, added by the fixture.
constexpr int LowerCaseWait = 6;
constexpr int UpperCaseTab = 7;
constexpr int TabWithBlank = 8;

const QString Link = QStringLiteral("https://login.example.test/sign-in?next=%2Fhome");
const QString AwkwardPassword = QStringLiteral("p'a\"s+s^%~(){}[]w");

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
    void showsTheHourglassAndCountsAsActivity();
    void aLaunchDuringAReplayIsIgnored();
    void databaseWorkDuringAWaitDoesNotDisturbTheReplay();
    void noWebsiteSelectedDoesNothing_data();
    void noWebsiteSelectedDoesNothing();
    void aWebsiteWithoutInstructionsOnlyOpensItsLink();
    void aMissingBrowserIsReportedAndTheKeysStillGo();
    void aFailureLeavesNothingHeld();

private:
    void addWebsite(int id, const QString& link = Link);
    // count and text are statement values: "Null", a number, or quoted text; text is enciphered when quoted.
    void addInstruction(int id, int websiteId, int eventType, const QString& count = QStringLiteral("Null"),
                        const QString& plainText = QString());
    void replay(int websiteId);
    // Runs the work once, during the first wait of the replay that runs next.
    void duringTheWait(std::function<void()> work);

    std::unique_ptr<TempDataFolder> m_folder;
    std::unique_ptr<Keys::RecordingKeySender> m_keys;
    std::unique_ptr<Desktop::RecordingShell> m_shell;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QTimer> m_tmrWait;
};

void TestReplay::init()
{
    m_folder = std::make_unique<TempDataFolder>();
    m_folder->execute({"INSERT INTO EventType (EventTypeID, EventType) VALUES (6, 'wait')",
                       "INSERT INTO EventType (EventTypeID, EventType) VALUES (7, 'TAB')",
                       "INSERT INTO EventType (EventTypeID, EventType) VALUES (8, 'Tab ')"});
    gobjEncrypt = std::make_unique<dsEncrypt>();
    m_keys = std::make_unique<Keys::RecordingKeySender>();
    m_shell = std::make_unique<Desktop::RecordingShell>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_tmrWait = std::make_unique<QTimer>();
    connect(m_tmrWait.get(), &QTimer::timeout, this, [this] { tmrWait_Timer(*m_tmrWait); });
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

void TestReplay::addWebsite(int id, const QString& link)
{
    m_folder->execute(
        {QStringLiteral("INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink) VALUES (%1, '%2', '%3')")
             .arg(id)
             .arg(FixQuotes(gobjEncrypt->Encrypt2(QStringLiteral("Site %1").arg(id))),
                  FixQuotes(gobjEncrypt->Encrypt2(link)))});
}

void TestReplay::addInstruction(int id, int websiteId, int eventType, const QString& count, const QString& plainText)
{
    const QString text = plainText.isEmpty()
                             ? QStringLiteral("Null")
                             : QLatin1Char('\'') + FixQuotes(gobjEncrypt->Encrypt2(plainText)) + QLatin1Char('\'');
    m_folder->execute({QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, EventTypeID, "
                                      "NumberOfTimes, TextToTypeIn) VALUES (%1, %2, %3, %4, %5)")
                           .arg(id)
                           .arg(websiteId)
                           .arg(eventType)
                           .arg(count, text)});
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
    addWebsite(1);
    addWebsite(2);
    addInstruction(30, 1, Enter);
    addInstruction(10, 1, Text, "Null", "user");
    addInstruction(15, 2, Text, "Null", "other website");
    addInstruction(20, 1, Tab);
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("user{TAB}{ENTER}"));
    // One key string per character of a text.
    QCOMPARE(m_keys->calls.size(), std::size_t{6});
    QCOMPARE(m_shell->starts.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(m_shell->starts.front().argument), Link);
}

void TestReplay::typesEachInstruction_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");

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
    QTest::newRow("Tab -1") << Tab << "-1"
                            << ""
                            << "";
    QTest::newRow("Tab 'abc'") << Tab << "'abc'"
                               << ""
                               << "";
    QTest::newRow("Tab '3 times'") << Tab << "'3 times'"
                                   << ""
                                   << "";
    QTest::newRow("Tab ' 2 '") << Tab << "' 2 '"
                               << ""
                               << "{TAB}{TAB}";
    QTest::newRow("Tab '1,5'") << Tab << "'1,5'"
                               << ""
                               << "";
    QTest::newRow("Shift+Tab, no count") << ShiftTab << "Null"
                                         << ""
                                         << "+{TAB}";
    QTest::newRow("Shift+Tab 2") << ShiftTab << "2"
                                 << ""
                                 << "+{TAB}+{TAB}";
    QTest::newRow("Shift+Tab 0") << ShiftTab << "0"
                                 << ""
                                 << "";
    QTest::newRow("Enter ignores its count") << Enter << "5"
                                             << ""
                                             << "{ENTER}";
    QTest::newRow("Enter, no count") << Enter << "Null"
                                     << ""
                                     << "{ENTER}";
    QTest::newRow("Text with quotes and reserved characters") << Text << "Null" << AwkwardPassword << AwkwardPassword;
    QTest::newRow("Text with every printable character") << Text << "Null"
                                                         << " !#$%&'()*+,-./0123456789:;<=>?@AZ[\\]^_`az{|}~\""
                                                         << " !#$%&'()*+,-./0123456789:;<=>?@AZ[\\]^_`az{|}~\"";
    QTest::newRow("Text without text") << Text << "Null"
                                       << ""
                                       << "";
    QTest::newRow("Text ignores its count") << Text << "3"
                                            << "ab"
                                            << "ab";
    QTest::newRow("'wait' is not Wait") << LowerCaseWait << "1"
                                        << ""
                                        << "";
    QTest::newRow("'TAB' is not Tab") << UpperCaseTab << "1"
                                      << ""
                                      << "";
    QTest::newRow("'Tab ' is not Tab") << TabWithBlank << "1"
                                       << ""
                                       << "";
}

void TestReplay::typesEachInstruction()
{
    QFETCH(int, eventType);
    QFETCH(QString, count);
    QFETCH(QString, text);
    QFETCH(QString, typed);
    addWebsite(1);
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
    QTest::newRow("no count does not pause") << "Null" << 0;
    QTest::newRow("a text does not pause") << "'soon'" << 0;
    QTest::newRow("0.5 pauses") << "0.5" << 400;
    QTest::newRow("1 pauses") << "1" << 900;
}

void TestReplay::waits()
{
    QFETCH(QString, seconds);
    QFETCH(int, atLeastMs);
    addWebsite(1);
    addInstruction(1, 1, Wait, seconds);
    addInstruction(2, 1, Text, "Null", "x");
    // A wait that never ends would hold the test until its time-out; end it here and say so instead.
    bool hung = false;
    QTimer::singleShot(8000, this, [&] {
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
    addWebsite(1);
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

void TestReplay::showsTheHourglassAndCountsAsActivity()
{
    addWebsite(1);
    addInstruction(1, 1, Wait, "0.3");
    gdblRelockMinutes = 15;
    gdblMinutesLeft = 2;
    int pointerDuringReplay = -1;
    duringTheWait([&] { pointerDuringReplay = Screen::mousePointer(); });
    replay(1);
    QCOMPARE(pointerDuringReplay, Screen::vbHourglass);
    QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    QCOMPARE(gdblMinutesLeft, 15.0);
    QVERIFY(!gobjConnection); // the data file is closed again
}

void TestReplay::aLaunchDuringAReplayIsIgnored()
{
    addWebsite(1);
    addWebsite(2);
    addInstruction(1, 1, Wait, "0.3");
    addInstruction(2, 1, Text, "Null", "first");
    addInstruction(3, 2, Text, "Null", "second");
    duringTheWait([&] { replay(2); });
    replay(1);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("first"));
    QCOMPARE(m_shell->starts.size(), std::size_t{1});
    // Once the first replay is over, the other website launches as usual.
    replay(2);
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("firstsecond"));
}

void TestReplay::databaseWorkDuringAWaitDoesNotDisturbTheReplay()
{
    addWebsite(1);
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
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "  ";
    QTest::newRow("the heading's caption") << "WebsiteID";
    QTest::newRow("not a key") << "1 OR 1=1";
    QTest::newRow("negative") << "-1";
}

void TestReplay::noWebsiteSelectedDoesNothing()
{
    QFETCH(QString, websiteId);
    addWebsite(1);
    addInstruction(1, 1, Text, "Null", "x");
    gdblRelockMinutes = 15;
    gdblMinutesLeft = 2;
    ReplayWebsite(*m_tmrWait, websiteId, Link, nullptr);
    QVERIFY(m_keys->calls.empty());
    QVERIFY(m_shell->lookedUp.empty());
    QCOMPARE(gdblMinutesLeft, 2.0);
}

void TestReplay::aWebsiteWithoutInstructionsOnlyOpensItsLink()
{
    addWebsite(1);
    replay(1);
    QCOMPARE(m_shell->starts.size(), std::size_t{1});
    QVERIFY(m_keys->calls.empty());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestReplay::aMissingBrowserIsReportedAndTheKeysStillGo()
{
    addWebsite(1);
    addInstruction(1, 1, Text, "Null", "x");
    m_shell->associatedProgram.reset();
    replay(1);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{"Could not find associated Browser"});
    QCOMPARE(typed(m_keys->strokes()), QStringLiteral("x"));
}

void TestReplay::aFailureLeavesNothingHeld()
{
    addWebsite(1);
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
