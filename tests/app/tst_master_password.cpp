// The master password gate: the start-up question against the settings row, and the re-lock ticks that
// ask again and check the answer against a Password.txt written here with OpenSSL's Blowfish.

#include "app/MasterPassword.h"
#include "app/StartupSettings.h"
#include "app/basModule1.h"
#include "crypto/ReferenceBlowfish.h"
#include "crypto/dsEncrypt.h"
#include "platform/app/Application.h"
#include "platform/error/AppError.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString Prompt = QStringLiteral("Enter Master Password: ");
const QString Incorrect = QStringLiteral("Incorrect Password.");
const QString CheckPassword = QStringLiteral("C0FFEE12");
const QByteArray CheckKey = QByteArray::fromHex("c0ffee12");
constexpr int TickInterval = 60000;

// Password.txt as the utility window writes it: the password and a line break, padded with p bytes of
// value p and enciphered block by block under the key, then the writer's own line break.
QByteArray checkFileBytes(const QString& password, const QByteArray& key)
{
    QByteArray plain = password.toLatin1() + "\r\n";
    const int padding = 8 - static_cast<int>(plain.size() % 8);
    plain += QByteArray(padding, static_cast<char>(padding));
    return referenceBlowfish::ecb(key, plain, true) + "\r\n";
}

void writeCheckFile(const QByteArray& bytes)
{
    QFile file(PasswordCheckFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool showsApplicationTitle(const QString& title)
{
    return title.isEmpty() || title == Application::title();
}

// Scripted dialogs that also note the re-lock timer and the count when each prompt came.
class WatchingDialogs : public ScriptedDialogs
{
public:
    const QTimer* timer = nullptr;
    QList<bool> timerActiveAtPrompt;
    QList<double> minutesLeftAtPrompt;

    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked) override
    {
        timerActiveAtPrompt << (timer && timer->isActive());
        minutesLeftAtPrompt << gdblMinutesLeft;
        return ScriptedDialogs::inputBox(prompt, title, defaultText, masked);
    }
};

// A program folder, scripted dialogs and a running re-lock timer. Unloading the main window is
// recorded, and deletes the timer as a window that deletes itself on close would.
struct Relock
{
    TempDataFolder folder;
    WatchingDialogs dialogs;
    std::unique_ptr<QTimer> timer = std::make_unique<QTimer>();
    int unloads = 0;
    int endsBeforeUnload = -1;
    qsizetype messagesBeforeUnload = -1;
    bool timerActiveAtUnload = false;
    std::function<void()> unloadWork;

    Relock()
    {
        dialogs.timer = timer.get();
        timer->setInterval(TickInterval);
        timer->start();
    }

    void tick()
    {
        RelockTick(*timer, [this] {
            ++unloads;
            endsBeforeUnload = dialogs.endProgramCalls;
            messagesBeforeUnload = dialogs.messages.size();
            timerActiveAtUnload = timer->isActive();
            timer.reset();
            dialogs.timer = nullptr;
            if (unloadWork)
                unloadWork();
        });
    }

    bool stillRunning() const { return timer && timer->isActive() && timer->interval() == TickInterval; }
};

// The program closed: the main window unloaded (its own closing handling ran, with the timer off) and
// the program ended after it.
void verifyClosed(const Relock& relock)
{
    QCOMPARE(relock.unloads, 1);
    QCOMPARE(relock.endsBeforeUnload, 0);
    QCOMPARE(relock.dialogs.endProgramCalls, 1);
    QVERIFY(!relock.timerActiveAtUnload);
}

void verifyPromptsAreMasked(const ScriptedDialogs& dialogs)
{
    for (const ScriptedDialogs::Prompt& prompt : dialogs.prompts) {
        QCOMPARE(prompt.prompt, Prompt);
        QVERIFY(prompt.masked);
        QVERIFY(showsApplicationTitle(prompt.title));
    }
}

void verifyIncorrectMessages(const ScriptedDialogs& dialogs, int count)
{
    QCOMPARE(dialogs.messageTexts(), QStringList(count, Incorrect));
    for (const ScriptedDialogs::Message& message : dialogs.messages) {
        QCOMPARE(message.style, Dialogs::vbOKOnly);
        QVERIFY(showsApplicationTitle(message.title));
    }
}

} // namespace

class TestMasterPassword : public QObject
{
    Q_OBJECT

private slots:
    void startupAcceptsTheExactPasswordOnly_data();
    void startupAcceptsTheExactPasswordOnly();
    void startupWithoutStoredPasswordAsksNothing();
    void countMovesInTicks_data();
    void countMovesInTicks();
    void countedActionSetsTheCountBack();
    void answersAtTheRelock_data();
    void answersAtTheRelock();
    void unusableCheckFileIsExplainedBeforeClosing_data();
    void unusableCheckFileIsExplainedBeforeClosing();
    void failingCloseHandlingStillEndsTheProgram();
};

void TestMasterPassword::startupAcceptsTheExactPasswordOnly_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << "Open 'Sesame\"" << true;
    QTest::newRow("one letter in the other case") << "open 'Sesame\"" << false;
    QTest::newRow("trailing blank") << "Open 'Sesame\" " << false;
    QTest::newRow("prefix") << "Open 'Sesame" << false;
    QTest::newRow("empty or cancelled") << "" << false;
}

// The expected password comes from a real settings row, stored with the field cipher.
void TestMasterPassword::startupAcceptsTheExactPasswordOnly()
{
    QFETCH(QString, answer);
    QFETCH(bool, accepted);
    TempDataFolder folder;
    const QString stored = dsEncrypt().Encrypt2(QStringLiteral("Open 'Sesame\""));
    folder.execute({QStringLiteral("UPDATE Setup SET MasterPassword = '%1' WHERE SetupID = 1").arg(FixQuotes(stored))});
    const StartupSettings read = ReadStartupSettings();
    ScriptedDialogs dialogs;
    dialogs.answers = {answer};

    QCOMPARE(AskStartupPassword(read.expectedMasterPassword), accepted);

    QCOMPARE(dialogs.prompts.size(), 1);
    verifyPromptsAreMasked(dialogs);
    QCOMPARE(gstrPassword, answer);
    verifyIncorrectMessages(dialogs, accepted ? 0 : 1);
    QCOMPARE(dialogs.endProgramCalls, accepted ? 0 : 1);
}

void TestMasterPassword::startupWithoutStoredPasswordAsksNothing()
{
    TempDataFolder folder;
    ScriptedDialogs dialogs;
    QVERIFY(AskStartupPassword(ReadStartupSettings().expectedMasterPassword));
    QVERIFY(dialogs.prompts.isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(dialogs.endProgramCalls, 0);
}

void TestMasterPassword::countMovesInTicks_data()
{
    QTest::addColumn<QString>("settingsChange");
    QTest::addColumn<int>("promptTick");
    const QString period = QStringLiteral("UPDATE Setup SET NumMinutesBeforeRequiringPasswordAgain = %1");
    QTest::newRow("period 1") << period.arg(1) << 1;
    QTest::newRow("period 2.5") << period.arg(2.5) << 3;
    QTest::newRow("period 0") << period.arg(0) << 1;
    QTest::newRow("no settings row") << "DELETE FROM Setup" << 1;
}

// From start-up, then again from each right answer, the prompt comes at the same tick.
void TestMasterPassword::countMovesInTicks()
{
    QFETCH(QString, settingsChange);
    QFETCH(int, promptTick);
    Relock relock;
    relock.folder.execute({settingsChange});
    gdblRelockMinutes = 0; // as in a fresh process, which a missing settings row leaves alone
    gdblMinutesLeft = 0;
    ReadStartupSettings();
    const double period = gdblRelockMinutes;
    writeCheckFile(checkFileBytes(CheckPassword, CheckKey));

    for (int round = 0; round < 2; ++round) {
        for (int n = 1; n < promptTick; ++n) {
            relock.tick();
            QCOMPARE(gdblMinutesLeft, period - n);
            QVERIFY(relock.stillRunning());
        }
        QVERIFY(relock.dialogs.prompts.size() == round);
        relock.dialogs.answers = {CheckPassword};
        relock.tick();
        QCOMPARE(relock.dialogs.prompts.size(), round + 1);
        QCOMPARE(relock.dialogs.minutesLeftAtPrompt.last(), period - promptTick);
        QCOMPARE(gdblMinutesLeft, period);
        QVERIFY(relock.stillRunning());
    }
    QVERIFY(relock.dialogs.messages.isEmpty());
    QCOMPARE(relock.unloads, 0);
}

// A counted action sets the shared count back to the full period; the ticks count on from there.
void TestMasterPassword::countedActionSetsTheCountBack()
{
    Relock relock;
    writeCheckFile(checkFileBytes(CheckPassword, CheckKey));
    gdblRelockMinutes = 3;
    gdblMinutesLeft = 3;
    relock.tick();
    relock.tick();
    gdblMinutesLeft = gdblRelockMinutes;
    relock.tick();
    relock.tick();
    QVERIFY(relock.dialogs.prompts.isEmpty());
    QCOMPARE(gdblMinutesLeft, 1.0);
    relock.dialogs.answers = {CheckPassword};
    relock.tick();
    QCOMPARE(relock.dialogs.prompts.size(), 1);
}

void TestMasterPassword::answersAtTheRelock_data()
{
    QTest::addColumn<QByteArray>("checkFile");
    QTest::addColumn<QStringList>("answers"); // an input box with no answer left gives ""
    QTest::addColumn<int>("prompts");
    QTest::addColumn<int>("incorrect");
    QTest::addColumn<bool>("unlocked");

    const QString wrong = QStringLiteral("C0FFEE13");
    const QByteArray coffee = checkFileBytes(CheckPassword, CheckKey);
    QTest::newRow("right at once") << coffee << QStringList{CheckPassword} << 1 << 0 << true;
    QTest::newRow("right at the third answer") << coffee << QStringList{wrong, wrong, CheckPassword} << 3 << 2 << true;
    QTest::newRow("three wrong answers") << coffee << QStringList{wrong, wrong, wrong, CheckPassword} << 3 << 3
                                         << false;
    QTest::newRow("empty answer") << coffee << QStringList{""} << 1 << 0 << false;
    QTest::newRow("hex password in small letters: same key") << coffee << QStringList{"c0ffee12"} << 2 << 1 << false;
    // 113 characters give 57 key bytes, more than the cipher takes: a wrong answer, and the next one
    // is deciphered under its own key.
    QTest::newRow("answer too long for a key, then right")
        << coffee << QStringList{QString(113, QLatin1Char('A')), CheckPassword} << 2 << 1 << true;

    // Check files for other passwords, each key being the password read as hexadecimal digit pairs.
    // "0Secret!": "0S" stops at S (0), "ec" is 0xEC, "re" and "t!" begin with a non-digit (0).
    const QByteArray secret = checkFileBytes(QStringLiteral("Secret!"), QByteArray("\x00\xEC\x00\x00", 4));
    QTest::newRow("non-hex password") << secret << QStringList{"Secret!"} << 1 << 0 << true;
    QTest::newRow("non-hex password in other case: same key") << secret << QStringList{"secret!"} << 2 << 1 << false;
    // "0A?B": "0A" is 0x0A, "?B" begins with a non-digit.
    QTest::newRow("odd length, pair with a non-digit")
        << checkFileBytes(QStringLiteral("A?B"), QByteArray("\x0A\x00", 2)) << QStringList{"A?B"} << 1 << 0 << true;
    QTest::newRow("line break fills the block: a whole padding block")
        << checkFileBytes(QStringLiteral("ABC123"), QByteArray::fromHex("abc123")) << QStringList{"ABC123"} << 1 << 0
        << true;
    const QString longest(112, QLatin1Char('e'));
    QTest::newRow("longest key, 56 bytes, several blocks")
        << checkFileBytes(longest, QByteArray(56, '\xEE')) << QStringList{longest} << 1 << 0 << true;

    // Files that cannot be deciphered refuse the right password every time, without a crash.
    const QStringList rightThrice(3, CheckPassword);
    QTest::newRow("empty file") << QByteArray() << rightThrice << 3 << 3 << false;
    QTest::newRow("less than a block") << QByteArray("\x01\x02\x03\x04\x05\x06\x07\r\n") << rightThrice << 3 << 3
                                       << false;
    QTest::newRow("last block missing") << coffee.first(8) + "\r\n" << rightThrice << 3 << 3 << false;
    QTest::newRow("garbage with a partial block") << QByteArray(21, '\x5A') + "\r\n" << rightThrice << 3 << 3 << false;
}

void TestMasterPassword::answersAtTheRelock()
{
    QFETCH(QByteArray, checkFile);
    QFETCH(QStringList, answers);
    QFETCH(int, prompts);
    QFETCH(int, incorrect);
    QFETCH(bool, unlocked);
    Relock relock;
    writeCheckFile(checkFile);
    gdblRelockMinutes = 5;
    gdblMinutesLeft = 1;
    relock.dialogs.answers = answers;

    relock.tick();

    QCOMPARE(relock.dialogs.prompts.size(), prompts);
    verifyPromptsAreMasked(relock.dialogs);
    QVERIFY(!relock.dialogs.timerActiveAtPrompt.contains(true));
    verifyIncorrectMessages(relock.dialogs, incorrect);
    QCOMPARE(gstrPassword, answers.value(prompts - 1));
    if (unlocked) {
        QCOMPARE(gdblMinutesLeft, 5.0);
        QVERIFY(relock.stillRunning());
        QCOMPARE(relock.unloads, 0);
        QCOMPARE(relock.dialogs.endProgramCalls, 0);
    } else {
        verifyClosed(relock);
    }
}

void TestMasterPassword::unusableCheckFileIsExplainedBeforeClosing_data()
{
    QTest::addColumn<bool>("folderInItsPlace"); // it exists, but cannot be read as a file
    QTest::addColumn<int>("prompts");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << false << 0 << QStringLiteral("missing");
    QTest::newRow("folder in its place") << true << 1 << QStringLiteral("cannot be read");
}

void TestMasterPassword::unusableCheckFileIsExplainedBeforeClosing()
{
    QFETCH(bool, folderInItsPlace);
    QFETCH(int, prompts);
    QFETCH(QString, reason);
    Relock relock;
    if (folderInItsPlace)
        QVERIFY(QDir(relock.folder.path()).mkdir(QStringLiteral("Password.txt")));
    gdblMinutesLeft = 1;
    relock.dialogs.answers = {CheckPassword};

    relock.tick();

    QCOMPARE(relock.dialogs.prompts.size(), prompts);
    QCOMPARE(relock.dialogs.messages.size(), 1);
    const QString message = relock.dialogs.messages[0].prompt;
    for (const QString& part : {PasswordCheckFilePath(), reason, QStringLiteral("program ends")})
        QVERIFY2(message.contains(part), qPrintable(message));
    QCOMPARE(relock.messagesBeforeUnload, 1);
    verifyClosed(relock);
}

// The main window's closing handling can fail (its settings update, say); the program ends all the same.
void TestMasterPassword::failingCloseHandlingStillEndsTheProgram()
{
    Relock relock;
    writeCheckFile(checkFileBytes(CheckPassword, CheckKey));
    gdblMinutesLeft = 1;
    relock.unloadWork = [] { throw AppError(ErrorNumber::FileAccess, QStringLiteral("disk full")); };

    relock.tick();

    QCOMPARE(relock.dialogs.messageTexts(), QStringList{QStringLiteral("Error No: 75 disk full")});
    verifyClosed(relock);
}

QTEST_GUILESS_MAIN(TestMasterPassword)
#include "tst_master_password.moc"
