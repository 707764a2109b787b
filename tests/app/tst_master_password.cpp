// The master password gate: the start-up question, and the re-lock ticks that ask again and check the
// answer against a Password.txt written here with OpenSSL's Blowfish.

#include "app/MasterPassword.h"
#include "app/basModule1.h"
#include "crypto/ReferenceBlowfish.h"
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

const QString CheckPassword = QStringLiteral("C0FFEE12");
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

const QByteArray CoffeeFile = checkFileBytes(CheckPassword, QByteArray::fromHex("c0ffee12"));

void writeCheckFile(const QByteArray& bytes)
{
    QFile file(PasswordCheckFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A program folder, dialogs scripted by the test and a running re-lock timer. Unloading the main window
// is recorded, runs unloadWork, and deletes the timer as a window that deletes itself on close would.
struct Relock : ScriptedDialogs
{
    TempDataFolder folder;
    std::unique_ptr<QTimer> timer = std::make_unique<QTimer>();
    bool timerRanAtPrompt = false;
    int unloads = 0;
    int endsBeforeUnload = -1;
    qsizetype messagesBeforeUnload = -1;
    bool timerRanAtUnload = false;
    std::function<void()> unloadWork = [] {};

    Relock() { timer->start(TickInterval); }

    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked) override
    {
        timerRanAtPrompt |= timer && timer->isActive();
        return ScriptedDialogs::inputBox(prompt, title, defaultText, masked);
    }

    void tick()
    {
        RelockTick(*timer, [this] {
            ++unloads;
            endsBeforeUnload = endProgramCalls;
            messagesBeforeUnload = messages.size();
            timerRanAtUnload = timer->isActive();
            timer.reset();
            unloadWork();
        });
    }

    bool stillRunning() const { return timer && timer->isActive() && timer->interval() == TickInterval; }

    // The main window unloaded (its own closing handling ran, with the timer off), then the program ended.
    void verifyClosed() const
    {
        QCOMPARE(unloads, 1);
        QCOMPARE(endsBeforeUnload, 0);
        QCOMPARE(endProgramCalls, 1);
        QVERIFY(!timerRanAtUnload);
    }
};

void verifyPromptsAndMessages(const ScriptedDialogs& dialogs, int incorrect)
{
    const auto applicationTitle = [](const QString& title) { return title.isEmpty() || title == Application::title(); };
    for (const ScriptedDialogs::Prompt& prompt : dialogs.prompts) {
        QCOMPARE(prompt.prompt, QStringLiteral("Enter Master Password: "));
        QVERIFY(prompt.masked && applicationTitle(prompt.title));
    }
    QCOMPARE(dialogs.messageTexts(), QStringList(incorrect, QStringLiteral("Incorrect Password.")));
    for (const ScriptedDialogs::Message& message : dialogs.messages)
        QVERIFY(message.style == Dialogs::vbOKOnly && applicationTitle(message.title));
}

} // namespace

class TestMasterPassword : public QObject
{
    Q_OBJECT

private slots:
    void startupAcceptsTheExactPasswordOnly_data();
    void startupAcceptsTheExactPasswordOnly();
    void answersAtTheRelock_data();
    void answersAtTheRelock();
    void unusableCheckFileIsExplainedBeforeClosing_data();
    void unusableCheckFileIsExplainedBeforeClosing();
};

void TestMasterPassword::startupAcceptsTheExactPasswordOnly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    const QString stored = QStringLiteral("Open 'Sesame\"");
    QTest::newRow("exact") << stored << "Open 'Sesame\"" << true;
    QTest::newRow("one letter in the other case") << stored << "open 'Sesame\"" << false;
    QTest::newRow("trailing blank") << stored << "Open 'Sesame\" " << false;
    QTest::newRow("prefix") << stored << "Open 'Sesame" << false;
    QTest::newRow("empty or cancelled") << stored << "" << false;
    QTest::newRow("none stored: nothing asked") << QString() << "" << true;
}

void TestMasterPassword::startupAcceptsTheExactPasswordOnly()
{
    QFETCH(QString, stored);
    QFETCH(QString, answer);
    QFETCH(bool, accepted);
    ScriptedDialogs dialogs;
    dialogs.answers = {answer};

    QCOMPARE(AskStartupPassword(stored), accepted);

    QCOMPARE(dialogs.prompts.size(), stored.isEmpty() ? 0 : 1);
    verifyPromptsAndMessages(dialogs, accepted ? 0 : 1);
    QCOMPARE(dialogs.endProgramCalls, accepted ? 0 : 1);
}

void TestMasterPassword::answersAtTheRelock_data()
{
    QTest::addColumn<QByteArray>("checkFile");
    QTest::addColumn<QStringList>("answers"); // an input box with no answer left gives ""
    QTest::addColumn<int>("prompts");
    QTest::addColumn<int>("incorrect");
    QTest::addColumn<bool>("unlocked");

    QTest::newRow("right at once") << CoffeeFile << QStringList{CheckPassword} << 1 << 0 << true;
    // Small letters give the same key but not the same first line; 113 characters give 57 key bytes, more
    // than the cipher takes.
    QTest::newRow("same key in small letters, too long for a key, then right")
        << CoffeeFile << QStringList{"c0ffee12", QString(113, QLatin1Char('A')), CheckPassword} << 3 << 2 << true;
    QTest::newRow("three wrong answers") << CoffeeFile << (QStringList(3, "C0FFEE13") << CheckPassword) << 3 << 3
                                         << false;
    QTest::newRow("empty answer") << CoffeeFile << QStringList{""} << 1 << 0 << false;
    // "0Secret!" read as hexadecimal digit pairs: "0S" stops at S (0), "ec" is 0xEC, "re" and "t!" give 0.
    QTest::newRow("non-hex password") << checkFileBytes(QStringLiteral("Secret!"), QByteArray("\x00\xEC\x00\x00", 4))
                                      << QStringList{"Secret!"} << 1 << 0 << true;
    // Files that cannot be deciphered refuse the right password every time, without a crash.
    const QStringList rightThrice(3, CheckPassword);
    QTest::newRow("empty file") << QByteArray() << rightThrice << 3 << 3 << false;
    QTest::newRow("last block missing") << CoffeeFile.first(8) + "\r\n" << rightThrice << 3 << 3 << false;
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
    gdblMinutesLeft = 1.5; // the first tick leaves half a minute and lets the timer run on, the second asks
    relock.answers = answers;

    relock.tick();
    QVERIFY(relock.prompts.isEmpty() && relock.stillRunning());
    relock.tick();

    QCOMPARE(relock.prompts.size(), prompts);
    QVERIFY(!relock.timerRanAtPrompt);
    verifyPromptsAndMessages(relock, incorrect);
    QCOMPARE(gstrPassword, answers.value(prompts - 1));
    if (!unlocked) {
        relock.verifyClosed();
    } else {
        QCOMPARE(gdblMinutesLeft, 5.0);
        QVERIFY(relock.stillRunning());
        QCOMPARE(relock.unloads + relock.endProgramCalls, 0);
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

// The main window's closing handling fails here too (its settings update, say): the failure is reported
// and the program ends all the same.
void TestMasterPassword::unusableCheckFileIsExplainedBeforeClosing()
{
    QFETCH(bool, folderInItsPlace);
    QFETCH(int, prompts);
    QFETCH(QString, reason);
    Relock relock;
    QVERIFY(!folderInItsPlace || QDir(relock.folder.path()).mkdir(QStringLiteral("Password.txt")));
    gdblMinutesLeft = 1; // the tick that brings the count to 0 asks
    relock.answers = {CheckPassword};
    relock.unloadWork = [] { throw AppError(ErrorNumber::FileAccess, QStringLiteral("disk full")); };

    relock.tick();

    QCOMPARE(relock.prompts.size(), prompts);
    const QStringList messages = relock.messageTexts();
    QCOMPARE(messages.size(), 2);
    for (const QString& part : {PasswordCheckFilePath(), reason, QStringLiteral("program ends")})
        QVERIFY2(messages[0].contains(part), qPrintable(messages[0]));
    QCOMPARE(messages[1], QStringLiteral("Error No: 75 disk full"));
    QCOMPARE(relock.messagesBeforeUnload, 1);
    relock.verifyClosed();
}

QTEST_GUILESS_MAIN(TestMasterPassword)
#include "tst_master_password.moc"
