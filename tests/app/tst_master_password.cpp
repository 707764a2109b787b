// The master password gate: the start-up question, and the re-lock ticks that ask again and check the
// answer against a Password.txt, in the derived-key form or in the Blowfish form written here with OpenSSL's
// Blowfish; what a check file of either form gives away.

#include "crypto/ReferenceBlowfish.h"
#include "domain/crypto/basConvert.h"
#include "domain/error/AppError.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "system/app/MasterPassword.h"
#include "system/app/PasswordCheckFile.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

const QString CheckPassword = QStringLiteral("C0FFEE12");
constexpr int TickInterval = 60000;

// A check file of the given size: the password and a line break, padded to whole blocks with bytes of value 6,
// enciphered under the key c0ffee12, then the writer's line break and up to 7 more bytes that deciphering leaves
// aside. At 18 bytes it is Password.txt as the utility window writes it.
QByteArray checkFileOfSize(qsizetype size)
{
    const qsizetype cipherSize = (size - 2) / 8 * 8;
    const QByteArray plain = "C0FFEE12\r\n" + QByteArray(cipherSize - 10, 6);
    return referenceBlowfish::ecb(QByteArray::fromHex("c0ffee12"), plain, true) + "\r\n" +
           QByteArray(size - cipherSize - 2, '\n');
}
const QByteArray CoffeeFile = checkFileOfSize(18);

// A program folder, scripted dialogs and a running re-lock timer. The log holds, in order: ask, the messages
// (wrong password, failure, or explain: the check file cannot be used, so the program ends), unload and end;
// "+timer" marks a running timer.
struct Relock : ScriptedDialogs
{
    TempDataFolder folder;
    std::unique_ptr<QTimer> timer = std::make_unique<QTimer>();
    QStringList log;

    Relock() { timer->start(TickInterval); }

    void note(const QString& event) { log << (timer && timer->isActive() ? event + "+timer" : event); }
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText, bool masked) override
    {
        note("ask");
        return ScriptedDialogs::inputBox(prompt, title, defaultText, masked);
    }
    int msgBox(const QString& prompt, int style, const QString& title) override
    {
        const bool explains = prompt.contains(PasswordCheckFilePath()) && prompt.contains("program ends");
        note(prompt == "Incorrect Password."      ? "wrong"
             : prompt == "Error No: 75 disk full" ? "failure"
             : explains                           ? "explain"
                                                  : prompt);
        return ScriptedDialogs::msgBox(prompt, style, title);
    }
    void endProgram() override { note("end"); }

    QString tick() // the main window's closing handling fails after deleting the timer
    {
        RelockTick(*timer, [this] {
            note("unload");
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
    void startupAcceptsTheExactPasswordOnly_data()
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

    void startupAcceptsTheExactPasswordOnly()
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

    void answersAtTheRelock_data()
    {
        QTest::addColumn<QString>("place"); // what stands at the check file's path: a file, a folder, a FIFO or a link
        QTest::addColumn<QByteArray>("checkFile");
        QTest::addColumn<QStringList>("answers"); // an input box with no answer left gives ""
        QTest::addColumn<QString>("log");
        const QString threeWrong = "ask wrong ask wrong ask wrong unload failure end";
        const QString unreadable = "ask explain unload failure end";
        const auto file = [](const char* tag, const QByteArray& bytes, const QStringList& answers, const QString& log) {
            QTest::newRow(tag) << QStringLiteral("file") << bytes << answers << log;
        };
        const auto other = [](const char* tag, const char* place, const char* target, const QString& log) {
            QTest::newRow(tag) << QString(place) << QByteArray(target) << QStringList{CheckPassword} << log;
        };
        file("right at once", CoffeeFile, {CheckPassword}, "ask");
        // Small letters give the same key but not the same first line; 113 characters give 57 key bytes, more
        // than the cipher takes.
        file("same key in small letters, too long for a key, then right", CoffeeFile,
             {"c0ffee12", QString(113, QLatin1Char('A')), CheckPassword}, "ask wrong ask wrong ask");
        file("three wrong answers", CoffeeFile, QStringList(3, "C0FFEE13") << CheckPassword, threeWrong);
        file("empty answer", CoffeeFile, {""}, "ask unload failure end");
        // The first block deciphers to the password, but no line break follows it.
        file("last block missing", CoffeeFile.first(8) + "\r\n", QStringList(3, CheckPassword), threeWrong);
        // Only the first line counts, so a larger file opens as well, up to a sane size; beyond it the file is
        // not read and no answer opens it.
        file("largest check file", checkFileOfSize(PasswordCheckFileMaxBytes), {CheckPassword}, "ask");
        file("one byte too large", checkFileOfSize(PasswordCheckFileMaxBytes + 1), {CheckPassword}, unreadable);
        file("empty", "", {CheckPassword}, unreadable);
        file("shorter than a block", "abc\r\n", {CheckPassword}, unreadable);
        const QByteArray derived = PasswordCheck::newFileText(CheckPassword).toLatin1();
        file("derived-key form: same key in small letters, a prefix, then right", derived,
             {"c0ffee12", "C0FFEE1", CheckPassword}, "ask wrong ask wrong ask");
        file("derived-key form: three wrong answers", derived, QStringList(3, "C0FFEE12 ") << CheckPassword,
             threeWrong);
        file("derived-key form with no iterations", QByteArray(derived).replace(" 600000 ", " 0 "), {CheckPassword},
             unreadable);
        file("derived-key form of a newer version", QByteArray(derived).replace(" 2 ", " 3 "), {CheckPassword},
             unreadable);
        file("derived-key form cut short", derived.chopped(2), {CheckPassword}, unreadable);
        file("derived-key form with Windows line ends", QByteArray(derived).replace("\n", "\r\n"), {CheckPassword},
             unreadable);
        // Every byte of the key counts: one that differs in its last byte opens with no answer.
        QList<QByteArray> parts = derived.chopped(1).split(' ');
        QByteArray key = QByteArray::fromBase64(parts.last());
        key.back() = char(key.back() ^ 1);
        parts.last() = key.toBase64();
        file("derived-key form, its key's last byte changed", parts.join(' ') + '\n', QStringList(3, CheckPassword),
             threeWrong);
        other("missing", "missing", "", "explain unload failure end");
        other("folder in its place", "folder", "", unreadable);
        other("FIFO in its place", "fifo", "", unreadable);
        other("link to /dev/zero", "link", "/dev/zero", unreadable);
        other("link to a good check file", "link", "good.txt", unreadable);
    }

    void answersAtTheRelock()
    {
        QFETCH(QString, place);
        QFETCH(QByteArray, checkFile);
        QFETCH(QStringList, answers);
        QFETCH(QString, log);
        Relock relock;
        const QString path = PasswordCheckFilePath();
        QFile file(place == "link" ? relock.folder.path() + "/good.txt" : path);
        if (place == "folder")
            QVERIFY(QDir(relock.folder.path()).mkdir(QStringLiteral("Password.txt")));
        else if (place == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (place != "missing")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(place == "link" ? CoffeeFile : checkFile) >= 0 &&
                    file.flush());
        if (place == "link")
            QVERIFY(QFile::link(QString::fromLatin1(checkFile), path));
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

    // A new check file holds nothing of its password, not even its length, where one of the Blowfish form opens
    // with a zero key for a password without hexadecimal digits. Either opens with its password only.
    void checkFileForms_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("oldFormOpensWithZeroKey");
        QTest::newRow("no hexadecimal digit") << "Sunshine" << true;
        QTest::newRow("hexadecimal digits only") << CheckPassword << false;
        QTest::newRow("blanks and quotes, no digit where a pair begins") << " O'Neil's \"pass\" " << true;
        QTest::newRow("longer than a Blowfish key") << QString(113, QLatin1Char('z')) << false;
    }

    void checkFileForms()
    {
        QFETCH(QString, password);
        QFETCH(bool, oldFormOpensWithZeroKey);
        TempDataFolder folder;
        const QString path = PasswordCheckFilePath();
        const QByteArray zeroKey(8, '\0');
        const auto zeroKeyPlain = [&zeroKey](const QByteArray& bytes) {
            return referenceBlowfish::ecb(zeroKey, bytes.first(bytes.size() / 8 * 8), false);
        };

        WritePasswordCheckFile(path, password);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(file.permissions() & 0xF077, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(bytes.startsWith("quillock-password-check 2 pbkdf2-hmac-sha256 600000 ") && bytes.endsWith("=\n"));
        QCOMPARE(bytes.size(), PasswordCheck::newFileText(QStringLiteral("x")).size());
        QVERIFY(!bytes.contains(password.toLatin1()) && !zeroKeyPlain(bytes).contains(password.toLatin1()));
        const PasswordCheck check = ReadPasswordCheckFile(path);
        QCOMPARE(check.form(), PasswordCheck::Form::DerivedKey);
        QVERIFY(check.opensWith(password));
        for (const QString& wrong : {password.chopped(1), password + ' ', password.toLower(), password.toUpper()})
            QVERIFY(wrong == password || !check.opensWith(wrong));
        QVERIFY(PasswordCheck::newFileText(password) != bytes); // a salt of its own every time

        if (password.size() > 112)
            return; // no Blowfish-form file holds it
        const QByteArray line = password.toLatin1() + "\r\n";
        const char padding = char(8 - line.size() % 8);
        const QByteArray old =
            referenceBlowfish::ecb(basConvert::HexToBytes(password), line + QByteArray(padding, padding), true) +
            "\r\n";
        QCOMPARE(zeroKeyPlain(old).startsWith(password.toLatin1() + "\r\n"), oldFormOpensWithZeroKey);
        const PasswordCheck oldCheck = PasswordCheck::fromFileText(QString::fromLatin1(old));
        QVERIFY(oldCheck.form() == PasswordCheck::Form::Blowfish && oldCheck.opensWith(password) &&
                !oldCheck.opensWith(password + ' '));
    }
};

QTEST_GUILESS_MAIN(TestMasterPassword)
#include "tst_master_password.moc"
