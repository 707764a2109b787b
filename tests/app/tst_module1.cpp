// The shared routines: captions from field names, centring, text files, lock files, statement text helpers, the
// number a text begins with, and the start-up read of the settings row. The re-lock ticks that ask for the master
// password and check it against a Password.txt, in the derived-key form or in the Blowfish form written here with
// OpenSSL's Blowfish; what a new check file gives away.

#include "crypto/ReferenceBlowfish.h"
#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"
#include "domain/error/AppError.h"
#include "os/files/FileLock.h"
#include "platform/app/RegularFile.h"
#include "support/CaughtError.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "system/app/MasterPassword.h"
#include "system/app/PasswordCheckFile.h"
#include "system/app/StartupSettings.h"
#include "system/app/StoredTexts.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <memory>
#include <sys/resource.h>
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
        // a protected file's data key is never in memory while the question is up
        note(storedTextForm() == StoredTextForm::Unlocked ? "ask with the key in memory" : "ask");
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

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:

    void answersAtTheRelock_data()
    {
        QTest::addColumn<QByteArray>("checkFile"); // null: none (links, FIFOs and the like: the utility's tests)
        QTest::addColumn<QStringList>("answers");  // an input box with no answer left gives ""
        QTest::addColumn<QString>("log");
        const QString threeWrong = "ask wrong ask wrong ask wrong unload failure end";
        const QString unreadable = "ask explain unload failure end";
        const auto file = [](const char* tag, const QByteArray& bytes, const QStringList& answers, const QString& log) {
            QTest::newRow(tag) << bytes << answers << log;
        };
        file("right at once", CoffeeFile, {CheckPassword}, "ask");
        // Small letters give the same key but not the same first line; 113 characters give 57 key bytes, more
        // than the cipher takes.
        file("same key in small letters, too long for a key, then right", CoffeeFile,
             {"c0ffee12", QString(113, QLatin1Char('A')), CheckPassword}, "ask wrong ask wrong ask");
        file("empty answer", CoffeeFile, {""}, "ask unload failure end");
        // The first block deciphers to the password, but no line break follows it.
        file("last block missing", CoffeeFile.first(8) + "\r\n", QStringList(3, CheckPassword), threeWrong);
        // Only the first line counts, so a larger file opens as well, up to a sane size; beyond it the file is
        // not read and no answer opens it.
        file("largest check file", checkFileOfSize(PasswordCheckFileMaxBytes), {CheckPassword}, "ask");
        file("one byte too large", checkFileOfSize(PasswordCheckFileMaxBytes + 1), {CheckPassword}, unreadable);
        file("missing", QByteArray(), {CheckPassword}, "explain unload failure end");
        const QByteArray derived = PasswordCheck::newFileText(CheckPassword).toLatin1();
        file("derived-key form with no iterations", QByteArray(derived).replace(" 600000 ", " 0 "), {CheckPassword},
             unreadable);
        file("derived-key form of a newer version", QByteArray(derived).replace(" 2 ", " 3 "), {CheckPassword},
             unreadable);
        // Every byte of the key counts: one that differs in its last byte opens with no answer.
        QList<QByteArray> parts = derived.chopped(1).split(' ');
        QByteArray key = QByteArray::fromBase64(parts.last());
        key.back() = char(key.back() ^ 1);
        parts.last() = key.toBase64();
        file("derived-key form, its key's last byte changed", parts.join(' ') + '\n', QStringList(3, CheckPassword),
             threeWrong);
    }

    void answersAtTheRelock()
    {
        QFETCH(QByteArray, checkFile);
        QFETCH(QStringList, answers);
        QFETCH(QString, log);
        Relock relock;
        const QString path = PasswordCheckFilePath();
        QFile file(path);
        if (!checkFile.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(checkFile) >= 0 && file.flush());
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

    // A protected data file is unlocked again by its data key, whatever the check file holds.
    void aProtectedFileRelocksWithItsKey()
    {
        for (const bool right : {true, false}) {
            Relock relock;
            ProtectStoredTexts(CheckPassword, KeyDerivation::fresh(1, 8192));
            QFile::remove(PasswordCheckFilePath());
            gdblMinutesLeft = 1;
            relock.answers = right ? QStringList{"c0ffee12", CheckPassword} : QStringList(3, "c0ffee12");
            QCOMPARE(relock.tick(), right ? "ask wrong ask" : "ask wrong ask wrong ask wrong unload failure end");
            QCOMPARE(storedTextForm(), right ? StoredTextForm::Unlocked : StoredTextForm::Locked);
            useFieldCipher();
        }
    }

    // A new check file holds nothing of its password, not even its length, and each has a salt of its own. (That a
    // check file of either form opens with its password only is shown at the re-lock above and by the utility.)
    void newCheckFileGivesNothingAway()
    {
        TempDataFolder folder;
        const QString path = PasswordCheckFilePath();
        for (const QString& password : {QStringLiteral("Sunshine"), QString(113, QLatin1Char('z'))}) {
            QFile::remove(path); // a new check file is never written over another
            WritePasswordCheckFile(path, password);
            const QByteArray bytes = fileBytes(path);
            QVERIFY(bytes.startsWith("quillock-password-check 2 pbkdf2-hmac-sha256 600000 ") && bytes.endsWith("=\n"));
            QCOMPARE(bytes.size(), PasswordCheck::newFileText(QStringLiteral("x")).size());
            QVERIFY(!bytes.contains(password.toLatin1()));
            QVERIFY(PasswordCheck::newFileText(password) != bytes);
        }
    }

    void textsAndCentring()
    {
        // The search ignores case, never looks inside what it inserted and finds matches side by side.
        QCOMPARE(ReplaceText(QStringLiteral("AbAbb"), QStringLiteral("ab"), QStringLiteral("xa")),
                 QStringLiteral("xaxab"));

        // Wider than the screen by an odd number of pixels: the offset is halved toward zero.
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QWidget form;
        form.resize(screen.width() + 201, 101);
        CenterForm(form);
        QCOMPARE(form.pos(), QPoint(-100, (screen.height() - 101) / 2));
    }

    // A file is rewritten over a longer one, a new one is readable by its owner only, and a file that must be new is
    // never written over. (That bytes of every value are read as they are is shown at the re-lock, by its largest
    // check file of enciphered bytes.)
    void textFiles()
    {
        const QString text = QStringLiteral("<p>It's the scratch page.</p>");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Password.txt"));
        QVERIFY(WriteTextFile(QString(300, QLatin1Char('x')), path));
        QVERIFY(WriteTextFile(text, path));
        QCOMPARE(ReadTextFile(path), text + QStringLiteral("\r\n"));
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        const AppError missing = caughtError([&] { ReadTextFile(dir.filePath(QStringLiteral("absent.txt"))); }).value();
        QVERIFY(missing.number() == ErrorNumber::FileNotFound && missing.description().contains("absent.txt"));
        const auto unwritable = caughtError([&] { WriteTextFile(QStringLiteral("x"), dir.filePath("no/such/f.txt")); });
        QCOMPARE(unwritable.value().number(), ErrorNumber::FileAccess);
        const auto existing = caughtError([&] { WriteTextFile(QStringLiteral("y"), path, FileWrite::CreateOnly); });
        QVERIFY(existing.has_value() && ReadTextFile(path) == text + QStringLiteral("\r\n"));

        // A file replaced at once: a link at its place is replaced, not followed; a folder is not replaced; no new file
        // is left beside either.
        const QString target = dir.filePath(QStringLiteral("target.txt"));
        const QString linked = dir.filePath(QStringLiteral("linked.txt"));
        QVERIFY(WriteTextFile(QStringLiteral("target"), target) && QFile::link(target, linked));
        replaceRegularFile(linked, "replaced", NewFileAccess::OwnerOnly);
        QVERIFY(!QFileInfo(linked).isSymLink() && ReadTextFile(linked) == "replaced");
        QCOMPARE(ReadTextFile(target), QStringLiteral("target\r\n"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/inside")));
        QVERIFY(caughtError([&] { replaceRegularFile(dir.filePath("folder"), "x", NewFileAccess::OwnerOnly); }));
        QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        entries.sort();
        QCOMPARE(entries, (QStringList{"Password.txt", "folder", "linked.txt", "target.txt"}));
        // A disk that fills up part-way: a file that had to be new is not left behind cut short.
        const QString cutShort = dir.filePath(QStringLiteral("new.txt"));
        struct rlimit limit = {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const struct rlimit small = {4, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const auto full = caughtError([&] { WriteTextFile(text, cutShort, FileWrite::CreateOnly); });
        setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(full.has_value() && !QFileInfo::exists(cutShort));
    }

    // A lock file: a shared lock is taken beside a shared one, not beside an exclusive one; once the first goes, it is.
    // What stands in the lock file's place is made, locked through a read-only folder, or refused as it is.
    void lockFiles()
    {
        using Files::FileLock;
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath(QStringLiteral("data.lock"))).toStdString();
        for (auto [first, together] : {std::pair{FileLock::Kind::Shared, true}, {FileLock::Kind::Exclusive, false}}) {
            std::optional<FileLock> held = FileLock::tryLock(path, first);
            QVERIFY(held.has_value());
            QCOMPARE(FileLock::tryLock(path, FileLock::Kind::Shared).has_value(), together);
            held.reset();
            QVERIFY(FileLock::tryLock(path, FileLock::Kind::Shared).has_value());
        }
        QCOMPARE(QFile::permissions(QString::fromStdString(path)) & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner) &&
                QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner));
        bool readOnlyLocks = true; // each kind in turn
        for (FileLock::Kind kind : {FileLock::Kind::Shared, FileLock::Kind::Exclusive})
            readOnlyLocks = FileLock::tryLock(path, kind).has_value() && readOnlyLocks;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(readOnlyLocks);
        const std::string fifo = path + ".fifo";
        QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
        for (const std::string& other : {fifo, QFile::encodeName(dir.path()).toStdString()}) {
            try {
                FileLock::tryLock(other, FileLock::Kind::Shared);
                QFAIL("a FIFO or a folder was taken for a lock file");
            } catch (const Files::FileError& error) {
                QCOMPARE(error.kind(), Files::FileError::Kind::NotRegular);
            }
        }
    }

    // A stored Yes/No value is read as the number its text begins with, but for the words True and False.
    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("blanks anywhere, plus sign, stops at a letter") << " + 1 2\t3\n.5 x9" << 123.5 << true;
        QTest::newRow("negative, leading point, D exponent") << "-.5d+2" << -50.0 << true;
        QTest::newRow("null") << "" << 0.0 << false;
        QTest::newRow("carriage return is not a blank") << "\r5" << 0.0 << true; // a Yes/No text is trimmed first
        QTest::newRow("tiny") << "1e-400" << 0.0 << false;
        QTest::newRow("word") << "true" << 0.0 << true;
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(bool, boolean);
        QCOMPARE(NumberTextBeginsWith(text), number);
        QCOMPARE(BooleanFromText(text), boolean);
    }

    void startupRead_data()
    {
        QTest::addColumn<QString>("update"); // of the settings row; empty: the row is deleted
        // row found, launcher mode, re-lock period, minutes left, launcher height and width, main window height and
        // width
        QTest::addColumn<QList<double>>("read");
        QTest::newRow("nulls: no period, saved sizes by default; an empty password")
            << "NumMinutesBeforeRequiringPasswordAgain = Null, FormHeight = Null, FormWidth = Null, MasterPassword = ''"
            << QList<double>{1, 0, 0, 0, 8000, 8000, 8000, 8000};
        QTest::newRow("no settings row") << QString() << QList<double>(8, 0);
    }

    void startupRead()
    {
        QFETCH(QString, update);
        QFETCH(QList<double>, read);
        TempDataFolder folder;
        folder.execute({update.isEmpty() ? QStringLiteral("DELETE FROM Setup") : "UPDATE Setup SET " + update});
        gdblRelockMinutes = gdblMinutesLeft = 0; // as in a fresh process
        gblnDefaultToLauncher = false;

        const StartupSettings s = ReadStartupSettings();
        QVERIFY(!s.masterPassword.isSet());
        QCOMPARE((QList<double>{double(s.rowFound), double(gblnDefaultToLauncher), gdblRelockMinutes, gdblMinutesLeft,
                                s.launcherHeightTwips, s.launcherWidthTwips, s.formHeightTwips, s.formWidthTwips}),
                 read);
        QVERIFY(!gobjRecordset.holdsObject());
    }

    // A verifier cut short cannot check any answer: start-up says why instead of asking.
    void startupRefusesADamagedMasterPassword()
    {
        TempDataFolder folder;
        const QString verifier = StoredMasterPassword::verifierOf(QStringLiteral("Sesame"));
        folder.execute({"UPDATE Setup SET MasterPassword = " + QuotedValue(verifier.chopped(10))});
        const auto error = caughtError([] { ReadStartupSettings(); });
        QVERIFY(error && error->description().startsWith(QStringLiteral(
                             "The master password kept in the data file's settings cannot be checked: ")));
    }
};

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
