// The shared routines: captions from field names, centring, text files, statement text helpers, the
// number a text begins with, and the start-up read of the settings row.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"
#include "os/files/FileLock.h"
#include "platform/app/RegularFile.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"
#include "system/app/StartupSettings.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <sys/stat.h>
#endif

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void textsAndCentring();
    void textFiles();
    void lockFiles_data();
    void lockFiles();
    void numberText_data();
    void numberText();
    void startupRead_data();
    void startupRead();
};

void TestModule1::textsAndCentring()
{
    // The underscore, backquote and brackets count as capitals; digits do not.
    QCOMPARE(FieldNameToCaption(QStringLiteral("a2Bc[d`e_F")), QStringLiteral("a2 Bc [d `e _F"));
    // The search ignores case, never looks inside what it inserted and finds matches side by side.
    QCOMPARE(ReplaceText(QStringLiteral("AbAbb"), QStringLiteral("ab"), QStringLiteral("xa")), QStringLiteral("xaxab"));
    QCOMPARE(ReplaceText(QStringLiteral("abc"), QString(), QStringLiteral("Z")), QStringLiteral("abc"));
    QCOMPARE(FixQuotes(QStringLiteral("'x''\"y\"")), QStringLiteral("''x''''\"y\""));

    // Wider than the screen by an odd number of pixels: the offset is halved toward zero.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QWidget form;
    form.resize(screen.width() + 201, 101);
    CenterForm(form);
    QCOMPARE(form.pos(), QPoint(-100, (screen.height() - 101) / 2));
}

// Every Latin-1 character survives; a file is rewritten over a longer one, a new one is readable by its
// owner only, and a file that must be new is never written over.
void TestModule1::textFiles()
{
    QString text;
    for (int i = 0; i < 256; ++i)
        text += QChar(i);
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

    // A file replaced at once: a link at its place is replaced, not followed; a folder is not replaced; no new file is
    // left beside either.
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
#ifndef Q_OS_WIN
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
#endif
}

// A lock file: a second lock of the kind is taken beside the first, or not; once the first goes, it is. What stands
// in the lock file's place is made, locked through a read-only folder, or refused as it is.
void TestModule1::lockFiles_data()
{
    using Kind = Files::FileLock::Kind;
    QTest::addColumn<Kind>("first");
    QTest::addColumn<Kind>("second");
    QTest::addColumn<bool>("together");
    QTest::newRow("shared beside shared") << Kind::Shared << Kind::Shared << true;
    QTest::newRow("exclusive beside shared") << Kind::Shared << Kind::Exclusive << false;
    QTest::newRow("shared beside exclusive") << Kind::Exclusive << Kind::Shared << false;
}

void TestModule1::lockFiles()
{
    QFETCH(Files::FileLock::Kind, first);
    QFETCH(Files::FileLock::Kind, second);
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath(QStringLiteral("data.lock"))).toStdString();
    {
        std::optional<Files::FileLock> held = Files::FileLock::tryLock(path, first);
        QVERIFY(held.has_value());
        QTEST(Files::FileLock::tryLock(path, second).has_value(), "together");
    }
    QVERIFY(Files::FileLock::tryLock(path, second).has_value());
    QCOMPARE(QFile::permissions(QString::fromStdString(path)) & (QFile::ReadGroup | QFile::ReadOther),
             QFile::Permissions());
#ifndef Q_OS_WIN
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner) &&
            QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner));
    const bool readOnlyLocks = Files::FileLock::tryLock(path, first).has_value();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(readOnlyLocks);
    const std::string fifo = path + ".fifo";
    QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& other : {fifo, QFile::encodeName(dir.path()).toStdString()}) {
        try {
            Files::FileLock::tryLock(other, first);
            QFAIL("a FIFO or a folder was taken for a lock file");
        } catch (const Files::FileError& error) {
            QCOMPARE(error.kind(), Files::FileError::Kind::NotRegular);
        }
    }
#endif
}

// A stored Yes/No value is read as the number its text begins with, but for the words True and False.
void TestModule1::numberText_data()
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

void TestModule1::numberText()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(bool, boolean);
    QCOMPARE(NumberTextBeginsWith(text), number);
    QCOMPARE(BooleanFromText(text), boolean);
}

void TestModule1::startupRead_data()
{
    QTest::addColumn<QString>("update"); // of the settings row; empty: the row is deleted
    QTest::addColumn<QString>("password");
    // row found, launcher mode, re-lock period, minutes left, launcher height and width, main window height and width
    QTest::addColumn<QList<double>>("read");
    QTest::newRow("all set")
        << "DefaultToLauncher = 1, LauncherHeight = 4000, LauncherWidth = 3000, FormHeight = 9000, "
           "FormWidth = 12000, NumMinutesBeforeRequiringPasswordAgain = '7', MasterPassword = '%1'"
        << "Open 'Sesame\"" << QList<double>{1, 1, 7, 7, 4000, 3000, 9000, 12000};
    QTest::newRow("nulls: no period, saved sizes by default; an empty password")
        << "NumMinutesBeforeRequiringPasswordAgain = Null, FormHeight = Null, FormWidth = Null, MasterPassword = '%1'"
        << QString() << QList<double>{1, 0, 0, 0, 8000, 8000, 8000, 8000};
    QTest::newRow("no settings row") << QString() << QString() << QList<double>(8, 0);
}

void TestModule1::startupRead()
{
    QFETCH(QString, update);
    QFETCH(QString, password);
    QFETCH(QList<double>, read);
    TempDataFolder folder;
    folder.execute({update.isEmpty() ? QStringLiteral("DELETE FROM Setup")
                                     : "UPDATE Setup SET " + update.arg(FixQuotes(dsEncrypt().Encrypt2(password)))});
    gdblRelockMinutes = gdblMinutesLeft = 0; // as in a fresh process
    gblnDefaultToLauncher = false;

    const StartupSettings s = ReadStartupSettings();
    QCOMPARE(s.expectedMasterPassword, password);
    QCOMPARE((QList<double>{double(s.rowFound), double(gblnDefaultToLauncher), gdblRelockMinutes, gdblMinutesLeft,
                            s.launcherHeightTwips, s.launcherWidthTwips, s.formHeightTwips, s.formWidthTwips}),
             read);
    QVERIFY(!gobjRecordset.holdsObject());
}

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
