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

    // Ticks until a prompt comes; the number of the tick that brought it, or 0 when none did.
    int ticksUntilPrompt(int limit)
    {
        const qsizetype before = dialogs.prompts.size();
        for (int n = 1; n <= limit; ++n) {
            tick();
            if (dialogs.prompts.size() > before)
                return n;
        }
        return 0;
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

void verifyPromptsAreMasked(const Relock& relock)
{
    for (const ScriptedDialogs::Prompt& prompt : relock.dialogs.prompts) {
        QCOMPARE(prompt.prompt, Prompt);
        QVERIFY(prompt.masked);
        QVERIFY(showsApplicationTitle(prompt.title));
    }
    QVERIFY(!relock.dialogs.timerActiveAtPrompt.contains(true));
}

void verifyIncorrectMessages(const Relock& relock, int count)
{
    QCOMPARE(relock.dialogs.messageTexts(), QStringList(count, Incorrect));
    for (const ScriptedDialogs::Message& message : relock.dialogs.messages) {
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
    void checkFileOpensWithItsPasswordOnly_data();
    void checkFileOpensWithItsPasswordOnly();
    void undecipherableCheckFileRefusesEveryAnswer_data();
    void undecipherableCheckFileRefusesEveryAnswer();
    void missingCheckFileIsExplainedBeforeClosing();
    void unreadableCheckFileIsExplainedBeforeClosing();
    void failingCloseHandlingStillEndsTheProgram();
};

void TestMasterPassword::startupAcceptsTheExactPasswordOnly_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << "Open 'Sesame\"" << true;
    QTest::newRow("one letter in the other case") << "open 'Sesame\"" << false;
    QTest::newRow("all capitals") << "OPEN 'SESAME\"" << false;
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
    QCOMPARE(dialogs.prompts[0].prompt, Prompt);
    QVERIFY(dialogs.prompts[0].masked);
    QVERIFY(showsApplicationTitle(dialogs.prompts[0].title));
    QCOMPARE(gstrPassword, answer);
    QCOMPARE(dialogs.messageTexts(), accepted ? QStringList() : QStringList{Incorrect});
    if (!accepted) {
        QCOMPARE(dialogs.messages[0].style, Dialogs::vbOKOnly);
        QVERIFY(showsApplicationTitle(dialogs.messages[0].title));
    }
    QCOMPARE(dialogs.endProgramCalls, accepted ? 0 : 1);
}

void TestMasterPassword::startupWithoutStoredPasswordAsksNothing()
{
    TempDataFolder folder;
    const StartupSettings read = ReadStartupSettings();
    ScriptedDialogs dialogs;
    QVERIFY(AskStartupPassword(read.expectedMasterPassword));
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
    QTest::newRow("period 3") << period.arg(3) << 3;
    QTest::newRow("period 2.5") << period.arg(2.5) << 3;
    QTest::newRow("period 0") << period.arg(0) << 1;
    QTest::newRow("period Null") << period.arg(QStringLiteral("Null")) << 1;
    QTest::newRow("negative period") << period.arg(-4) << 1;
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

void TestMasterPassword::countedActionSetsTheCountBack()
{
    Relock relock;
    writeCheckFile(checkFileBytes(CheckPassword, CheckKey));
    gdblRelockMinutes = 3;
    gdblMinutesLeft = 3;
    QCOMPARE(relock.ticksUntilPrompt(2), 0);
    gdblMinutesLeft = gdblRelockMinutes; // what every counted command does first
    QCOMPARE(relock.ticksUntilPrompt(2), 0);
    QCOMPARE(gdblMinutesLeft, 1.0);
    relock.dialogs.answers = {CheckPassword};
    QCOMPARE(relock.ticksUntilPrompt(1), 1);
}

void TestMasterPassword::answersAtTheRelock_data()
{
    const QString wrong = QStringLiteral("C0FFEE13");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<int>("incorrect");
    QTest::addColumn<bool>("unlocked");
    QTest::newRow("right at once") << QStringList{CheckPassword} << 1 << 0 << true;
    QTest::newRow("right at the second answer") << QStringList{wrong, CheckPassword} << 2 << 1 << true;
    QTest::newRow("right at the third answer") << QStringList{wrong, wrong, CheckPassword} << 3 << 2 << true;
    QTest::newRow("three wrong answers") << QStringList{wrong, wrong, wrong, CheckPassword} << 3 << 3 << false;
    QTest::newRow("empty answer") << QStringList{""} << 1 << 0 << false;
    QTest::newRow("empty after a wrong one") << QStringList{wrong, ""} << 2 << 1 << false;
    // 113 characters give 57 key bytes, more than the cipher takes: a wrong answer, and the next one
    // is deciphered under its own key.
    QTest::newRow("answer too long for a key, then right")
        << QStringList{QString(113, QLatin1Char('A')), CheckPassword} << 2 << 1 << true;
}

void TestMasterPassword::answersAtTheRelock()
{
    QFETCH(QStringList, answers);
    QFETCH(int, prompts);
    QFETCH(int, incorrect);
    QFETCH(bool, unlocked);
    Relock relock;
    writeCheckFile(checkFileBytes(CheckPassword, CheckKey));
    gdblRelockMinutes = 5;
    gdblMinutesLeft = 1;
    relock.dialogs.answers = answers;

    relock.tick();

    QCOMPARE(relock.dialogs.prompts.size(), prompts);
    verifyPromptsAreMasked(relock);
    verifyIncorrectMessages(relock, incorrect);
    QCOMPARE(gstrPassword, answers[prompts - 1]);
    if (unlocked) {
        QCOMPARE(gdblMinutesLeft, 5.0);
        QVERIFY(relock.stillRunning());
        QCOMPARE(relock.unloads, 0);
        QCOMPARE(relock.dialogs.endProgramCalls, 0);
    } else {
        verifyClosed(relock);
    }
}

void TestMasterPassword::checkFileOpensWithItsPasswordOnly_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("key"); // the password read as hexadecimal digit pairs
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("opens");
    const QByteArray coffee = QByteArray::fromHex("c0ffee12");
    QTest::newRow("hex password") << CheckPassword << coffee << CheckPassword << true;
    QTest::newRow("hex password in small letters: same key") << CheckPassword << coffee << "c0ffee12" << false;
    QTest::newRow("another hex password") << CheckPassword << coffee << "C0FFEE13" << false;
    QTest::newRow("prefix of the password") << CheckPassword << coffee << "C0FFEE" << false;
    // "0Secret!": "0S" stops at S (0), "ec" is 0xEC, "re" and "t!" begin with a non-digit (0).
    const QByteArray secret("\x00\xEC\x00\x00", 4);
    QTest::newRow("non-hex password") << "Secret!" << secret << "Secret!" << true;
    QTest::newRow("non-hex password in other case: same key") << "Secret!" << secret << "secret!" << false;
    QTest::newRow("non-hex password, other last character: same key") << "Secret!" << secret << "Secret?" << false;
    // "0A?B": "0A" is 0x0A, "?B" begins with a non-digit.
    QTest::newRow("odd length, pair with a non-digit") << "A?B" << QByteArray("\x0A\x00", 2) << "A?B" << true;
    QTest::newRow("line break fills the block: a whole padding block")
        << "ABC123" << QByteArray::fromHex("abc123") << "ABC123" << true;
    QTest::newRow("several blocks") << "0123456789abcdefFEDCBA9876543210"
                                    << QByteArray::fromHex("0123456789abcdeffedcba9876543210")
                                    << "0123456789abcdefFEDCBA9876543210" << true;
    QTest::newRow("longest key, 56 bytes")
        << QString(112, QLatin1Char('e')) << QByteArray(56, '\xEE') << QString(112, QLatin1Char('e')) << true;
}

void TestMasterPassword::checkFileOpensWithItsPasswordOnly()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, key);
    QFETCH(QString, answer);
    QFETCH(bool, opens);
    Relock relock;
    writeCheckFile(checkFileBytes(password, key));
    gdblRelockMinutes = 2;
    gdblMinutesLeft = 1;
    relock.dialogs.answers = {answer}; // a refused answer is followed by an empty one

    relock.tick();

    if (opens) {
        QCOMPARE(relock.dialogs.prompts.size(), 1);
        QVERIFY(relock.dialogs.messages.isEmpty());
        QCOMPARE(gdblMinutesLeft, 2.0);
        QVERIFY(relock.stillRunning());
    } else {
        QCOMPARE(relock.dialogs.prompts.size(), 2);
        verifyIncorrectMessages(relock, 1);
        verifyClosed(relock);
    }
}

void TestMasterPassword::undecipherableCheckFileRefusesEveryAnswer_data()
{
    QTest::addColumn<QByteArray>("contents");
    const QByteArray right = checkFileBytes(CheckPassword, CheckKey);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("only a line break") << QByteArray("\r\n");
    QTest::newRow("less than a block") << QByteArray("\x01\x02\x03\x04\x05\x06\x07\r\n");
    QTest::newRow("first block cut, no line break") << right.first(8);
    QTest::newRow("last block missing") << right.first(8) + "\r\n";
    // The last two bytes are taken for the writer's line break, so the last block is cut short.
    QTest::newRow("no line break from the writer") << right.first(right.size() - 2);
    QTest::newRow("plain text") << QByteArray("C0FFEE12\r\n\r\n");
    QTest::newRow("garbage blocks") << QByteArray(40, '\xA5') + "\r\n";
    QTest::newRow("garbage with a partial block") << QByteArray(21, '\x5A') + "\r\n";
}

// The right password is typed three times; each time the file is refused, and nothing crashes.
void TestMasterPassword::undecipherableCheckFileRefusesEveryAnswer()
{
    QFETCH(QByteArray, contents);
    Relock relock;
    writeCheckFile(contents);
    gdblMinutesLeft = 0;
    relock.dialogs.answers = {CheckPassword, CheckPassword, CheckPassword};

    relock.tick();

    QCOMPARE(relock.dialogs.prompts.size(), 3);
    verifyIncorrectMessages(relock, 3);
    verifyClosed(relock);
}

void TestMasterPassword::missingCheckFileIsExplainedBeforeClosing()
{
    Relock relock;
    gdblMinutesLeft = 1;
    relock.dialogs.answers = {CheckPassword};

    relock.tick();

    QVERIFY(relock.dialogs.prompts.isEmpty());
    QCOMPARE(relock.dialogs.messages.size(), 1);
    const QString message = relock.dialogs.messages[0].prompt;
    QVERIFY2(message.contains(PasswordCheckFilePath()), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("missing")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("program ends")), qPrintable(message));
    QCOMPARE(relock.messagesBeforeUnload, 1);
    verifyClosed(relock);
}

// A folder in the place of the file: it exists, but cannot be read as a file.
void TestMasterPassword::unreadableCheckFileIsExplainedBeforeClosing()
{
    Relock relock;
    QVERIFY(QDir(relock.folder.path()).mkdir(QStringLiteral("Password.txt")));
    gdblMinutesLeft = 1;
    relock.dialogs.answers = {CheckPassword};

    relock.tick();

    QCOMPARE(relock.dialogs.prompts.size(), 1);
    QCOMPARE(relock.dialogs.messages.size(), 1);
    const QString message = relock.dialogs.messages[0].prompt;
    QVERIFY2(message.contains(PasswordCheckFilePath()), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("cannot be read")), qPrintable(message));
    QVERIFY2(!message.contains(Incorrect), qPrintable(message));
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
