// The master password gate: the start-up question, and the re-lock ticks that ask again and check the
// answer against a Password.txt written here with OpenSSL's Blowfish.

#include "app/MasterPassword.h"
#include "app/basModule1.h"
#include "crypto/ReferenceBlowfish.h"
#include "platform/error/AppError.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

const QString CheckPassword = QStringLiteral("C0FFEE12");
constexpr int TickInterval = 60000;

// Password.txt as the utility window writes it: the password and a line break, padded to a whole block with
// 6 bytes of value 6, enciphered under the key c0ffee12, then the writer's own line break.
const QByteArray CoffeeFile =
    referenceBlowfish::ecb(QByteArray::fromHex("c0ffee12"), "C0FFEE12\r\n" + QByteArray(6, 6), true) + "\r\n";

// A check file for the same password of exactly the given size: its first line and filler in whole blocks,
// enciphered, then a tail of 2 to 9 bytes that deciphering leaves aside (the line break and less than a block).
QByteArray checkFileOfSize(qsizetype size)
{
    const qsizetype cipherSize = (size - 2) / 8 * 8;
    const QByteArray plain = "C0FFEE12\r\n" + QByteArray(cipherSize - 10, 8);
    return referenceBlowfish::ecb(QByteArray::fromHex("c0ffee12"), plain, true) + QByteArray(size - cipherSize, '\n');
}

// A program folder, scripted dialogs and a running re-lock timer. The log holds, in order: ask, the messages
// (wrong password, failure, or explain: the check file cannot be used, so the program ends), unload and end;
// "+timer" marks a running timer. The main window's closing handling (unload) deletes the timer, as a window
// that deletes itself on close would, and fails: the failure is reported and the program ends all the same.
struct Relock : ScriptedDialogs
{
    TempDataFolder folder;
    std::unique_ptr<QTimer> timer = std::make_unique<QTimer>();
    QStringList log;

    Relock() { timer->start(TickInterval); }

    void note(const QString& event) { log << (timer && timer->isActive() ? event + "+timer" : event); }
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked) override
    {
        note(QStringLiteral("ask"));
        return ScriptedDialogs::inputBox(prompt, title, defaultText, masked);
    }
    int msgBox(const QString& prompt, int style, const QString& title) override
    {
        const bool explains =
            prompt.contains(PasswordCheckFilePath()) && prompt.contains(QStringLiteral("program ends"));
        note(prompt == QStringLiteral("Incorrect Password.")      ? QStringLiteral("wrong")
             : prompt == QStringLiteral("Error No: 75 disk full") ? QStringLiteral("failure")
             : explains                                           ? QStringLiteral("explain")
                                                                  : prompt);
        return ScriptedDialogs::msgBox(prompt, style, title);
    }
    void endProgram() override { note(QStringLiteral("end")); }

    QString tick()
    {
        RelockTick(*timer, [this] {
            note(QStringLiteral("unload"));
            timer.reset();
            throw AppError(ErrorNumber::FileAccess, QStringLiteral("disk full"));
        });
        return log.join(QLatin1Char(' '));
    }
    bool stillRunning() const { return timer && timer->isActive() && timer->interval() == TickInterval; }
};

} // namespace

class TestMasterPassword : public QObject
{
    Q_OBJECT

private slots:
    void startupAcceptsTheExactPasswordOnly_data();
    void startupAcceptsTheExactPasswordOnly();
    void answersAtTheRelock_data();
    void answersAtTheRelock();
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
    for (const ScriptedDialogs::Prompt& prompt : dialogs.prompts)
        QVERIFY(prompt.prompt == "Enter Master Password: " && prompt.masked);
    QCOMPARE(dialogs.messageTexts(), QStringList(accepted ? 0 : 1, QStringLiteral("Incorrect Password.")));
    for (const ScriptedDialogs::Message& message : dialogs.messages)
        QVERIFY(message.style == Dialogs::vbOKOnly);
}

void TestMasterPassword::answersAtTheRelock_data()
{
    QTest::addColumn<QString>("place"); // what stands at the check file's path: a file, a folder, a FIFO or a link
    QTest::addColumn<QByteArray>("checkFile");
    QTest::addColumn<QStringList>("answers"); // an input box with no answer left gives ""
    QTest::addColumn<QString>("log");
    const QString threeWrong = QStringLiteral("ask wrong ask wrong ask wrong unload failure end");
    const QString file = QStringLiteral("file");
    const QString unreadable = QStringLiteral("ask explain unload failure end");
    QTest::newRow("right at once") << file << CoffeeFile << QStringList{CheckPassword} << "ask";
    // Small letters give the same key but not the same first line; 113 characters give 57 key bytes, more
    // than the cipher takes.
    QTest::newRow("same key in small letters, too long for a key, then right")
        << file << CoffeeFile << QStringList{"c0ffee12", QString(113, QLatin1Char('A')), CheckPassword}
        << "ask wrong ask wrong ask";
    QTest::newRow("three wrong answers") << file << CoffeeFile << (QStringList(3, "C0FFEE13") << CheckPassword)
                                         << threeWrong;
    QTest::newRow("empty answer") << file << CoffeeFile << QStringList{""} << "ask unload failure end";
    // The first block deciphers to the password, but no line break follows it.
    QTest::newRow("last block missing") << file << CoffeeFile.first(8) + "\r\n"
                                        << QStringList(3, CheckPassword) << threeWrong;
    // Only the first line counts, so a larger file opens as well, up to a sane size; beyond it the file is
    // not read and no answer opens it.
    QTest::newRow("largest check file") << file << checkFileOfSize(PasswordCheckFileMaxBytes)
                                        << QStringList{CheckPassword} << "ask";
    QTest::newRow("one byte too large") << file << checkFileOfSize(PasswordCheckFileMaxBytes + 1)
                                        << QStringList(3, CheckPassword) << threeWrong;
    QTest::newRow("missing") << "missing" << QByteArray() << QStringList{CheckPassword} << "explain unload failure end";
    QTest::newRow("folder in its place") << "folder" << QByteArray() << QStringList{CheckPassword} << unreadable;
    QTest::newRow("FIFO in its place") << "fifo" << QByteArray() << QStringList{CheckPassword} << unreadable;
    QTest::newRow("link to /dev/zero") << "link" << QByteArray("/dev/zero") << QStringList{CheckPassword} << unreadable;
    QTest::newRow("link to a good check file")
        << "link" << QByteArray("good.txt") << QStringList{CheckPassword} << unreadable;
}

void TestMasterPassword::answersAtTheRelock()
{
    QFETCH(QString, place);
    QFETCH(QByteArray, checkFile);
    QFETCH(QStringList, answers);
    QFETCH(QString, log);
    Relock relock;
    const QString path = PasswordCheckFilePath();
    const QByteArray nativePath = QFile::encodeName(path);
    if (place == "folder") {
        QVERIFY(QDir(relock.folder.path()).mkdir(QStringLiteral("Password.txt")));
    } else if (place == "fifo") {
        QCOMPARE(mkfifo(nativePath.constData(), 0600), 0);
    } else if (place == "link") {
        QFile good(relock.folder.path() + QStringLiteral("/good.txt"));
        QVERIFY(good.open(QIODevice::WriteOnly) && good.write(CoffeeFile) == CoffeeFile.size() && good.flush());
        QVERIFY(QFile::link(QString::fromLatin1(checkFile), path));
    } else if (place == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(checkFile) == checkFile.size() && file.flush());
    }
    gdblRelockMinutes = 5;
    gdblMinutesLeft = 1.5; // the first tick leaves half a minute and lets the timer run on, the second asks
    relock.answers = answers;
    gstrPassword.clear();

    QVERIFY(relock.tick().isEmpty() && relock.stillRunning());
    QCOMPARE(relock.tick(), log);
    QCOMPARE(gstrPassword, answers.value(relock.prompts.size() - 1));
    if (!log.endsWith(QStringLiteral("end"))) {
        QCOMPARE(gdblMinutesLeft, 5.0);
        QVERIFY(relock.stillRunning());
    }
}

QTEST_GUILESS_MAIN(TestMasterPassword)
#include "tst_master_password.moc"
