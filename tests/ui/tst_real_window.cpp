// The real program under a real X server: it starts from its own folder with its data file, shows its
// window in the saved mode at the saved size, and a screenshot of each mode is kept for the README. Without a
// usable data file, or with a wrong master password, it says so and ends cleanly with code 1. The utility
// program writes the password check file from the answer typed at its first start.

#include "X11Witness.h"
#include "app/PasswordCheckFile.h"
#include "crypto/dsEncrypt.h"
#include "data/DataFileSchema.h"
#include "data/StatementText.h"
#include "platform/db/DataFileCreator.h"
#include "platform/keys/KeySender.h"
#include "platform/keys/KeyString.h"
#include "support/SeedData.h"
#include "support/XvfbTestMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// How many different colours a picture has: a blank or failed capture has one.
int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return static_cast<int>(colours.size());
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program copied into a folder of its own, where it looks for its data file.
QString copyProgram(const QTemporaryDir& folder, const QString& original = QStringLiteral(QUILLOCK_PROGRAM))
{
    const QString program = folder.filePath(QFileInfo(original).fileName());
    return QFile::copy(original, program) ? program : QString();
}

} // namespace

class TestRealWindow : public QObject
{
    Q_OBJECT

private slots:
    void programShowsItsWindow_data();
    void programShowsItsWindow();
    void failedStartEndsCleanly_data();
    void failedStartEndsCleanly();
    void utilityWritesThePasswordCheckFile();
};

void TestRealWindow::programShowsItsWindow_data()
{
    QTest::addColumn<bool>("launcher");
    QTest::addColumn<QSize>("expectedPixels");
    QTest::addColumn<QString>("screenshot");
    // Sizes in twips from the settings row: 10500 x 7200 for the grid, 4200 x 6300 for the launcher.
    QTest::newRow("maintenance mode") << false << QSize(700, 480) << "maintenance-mode.png";
    QTest::newRow("launcher mode") << true << QSize(280, 420) << "launcher-mode.png";
}

void TestRealWindow::programShowsItsWindow()
{
    QFETCH(bool, launcher);
    QFETCH(QSize, expectedPixels);
    QFETCH(QString, screenshot);
    QTemporaryDir folder;
    const QString program = copyProgram(folder);
    QVERIFY(!program.isEmpty());
    const QString dataFile = folder.filePath(QStringLiteral("Quillock.mdb"));
    QStringList statements = newDataFileStatements();
    statements << QStringLiteral("UPDATE Setup SET DefaultToLauncher = %1, FormWidth = 10500, FormHeight = 7200, "
                                 "LauncherWidth = 4200, LauncherHeight = 6300 WHERE SetupID = 1")
                      .arg(launcher ? 1 : 0);
    createDatabaseFile(dataFile, statements);
    seedWebsites(dataFile, {{"Bank of Example", "https://bank.example/login", 1},
                            {"Mail", "https://mail.example", 2},
                            {"Library card", "https://library.example/account", 3},
                            {"Energy supplier", "https://energy.example", 4}});

    QProcess quillock;
    quillock.setProgram(program);
    quillock.start();
    QVERIFY2(quillock.waitForStarted(), qPrintable(quillock.errorString()));
    X11Probe probe;
    std::optional<xcb_window_t> window;
    QTRY_VERIFY_WITH_TIMEOUT((window = probe.findWindow("Quillock!")).has_value(), 20000);
    QTest::qWait(500); // let it paint
    QCOMPARE(probe.geometry(*window).size(), expectedPixels);

    const QImage image = QGuiApplication::primaryScreen()->grabWindow(*window).toImage();
    QVERIFY(distinctColours(image) > 3);
    const QString folderForPictures = qEnvironmentVariable("QUILLOCK_SCREENSHOT_DIR", QDir::currentPath());
    QVERIFY(image.save(QDir(folderForPictures).filePath(screenshot)));
    quillock.kill();
    quillock.waitForFinished();
}

void TestRealWindow::failedStartEndsCleanly_data()
{
    // The data file's bytes; or a statement that makes it, or that changes a new one; null: no file.
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QByteArray noise(4096, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    QTest::newRow("bytes of noise") << noise;
    QTest::newRow("no tables of its own") << QByteArray("CREATE TABLE Other (Name TEXT)");
    // Enter gives the empty answer, which is a wrong one.
    QTest::newRow("wrong master password")
        << ("UPDATE Setup SET MasterPassword = " + QuotedValue(dsEncrypt().Encrypt2("Sesame"))).toLatin1();
}

// The start-up prompt and message are answered with Enter on the display's keyboard; the program then exits with code
// 1, not by a signal on its way out, and leaves the data file as it was.
void TestRealWindow::failedStartEndsCleanly()
{
    QFETCH(QByteArray, contents);
    QTemporaryDir folder;
    const QString program = copyProgram(folder);
    QVERIFY(!program.isEmpty());
    const QString dataFile = folder.filePath(QStringLiteral("Quillock.mdb"));
    if (contents.startsWith("CREATE")) {
        createDatabaseFile(dataFile, {QString::fromLatin1(contents)});
    } else if (contents.startsWith("UPDATE")) {
        createDatabaseFile(dataFile, newDataFileStatements() << QString::fromLatin1(contents));
    } else if (!contents.isNull()) {
        QFile file(dataFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.flush());
    }
    const QByteArray before = fileBytes(dataFile);

    QProcess quillock;
    quillock.setProgram(program);
    quillock.start();
    QVERIFY2(quillock.waitForStarted(), qPrintable(quillock.errorString()));
    X11Probe probe;
    QTRY_VERIFY_WITH_TIMEOUT(probe.findWindow("Quillock").has_value(), 20000);
    // Enter again while the program runs on: the first may come before the message has the keyboard focus.
    for (int attempt = 0; attempt < 20 && quillock.state() != QProcess::NotRunning; ++attempt) {
        Keys::keySender().send(Keys::parseKeyString(U"{ENTER}"));
        quillock.waitForFinished(1000);
    }
    Keys::releasePlatformKeySender();

    QVERIFY2(quillock.state() == QProcess::NotRunning, "the message was answered, yet the program did not end");
    QCOMPARE(quillock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(quillock.exitCode(), 1);
    QCOMPARE(QFile::exists(dataFile), !contents.isNull()); // never made, never removed
    QCOMPARE(fileBytes(dataFile), before);
}

// The utility asks for a password over its window; the first answer typed becomes the check file's password.
void TestRealWindow::utilityWritesThePasswordCheckFile()
{
    QTemporaryDir folder;
    const QString checkFile = folder.filePath(QStringLiteral("Password.txt"));
    QProcess utility;
    utility.start(copyProgram(folder, QStringLiteral(QUILLOCK_UTILITY)));
    QVERIFY2(utility.waitForStarted(), qPrintable(utility.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(X11Probe().findWindow("DevivedIzurEdevi").has_value(), 20000);
    // Each attempt replaces what the box holds: the first keys may come before the box has the keyboard focus.
    for (int attempt = 0; attempt < 20 && !QFile::exists(checkFile); ++attempt) {
        Keys::keySender().send(Keys::parseKeyString(U"{END}+{HOME}k3y{ENTER}"));
        QTest::qWait(1000);
    }
    Keys::releasePlatformKeySender();
    QVERIFY(CheckFileOpensWith(checkFile, QStringLiteral("k3y")) &&
            !CheckFileOpensWith(checkFile, QStringLiteral("k3")));
    QCOMPARE(utility.state(), QProcess::Running);
    utility.kill();
    utility.waitForFinished();
}

QUILLOCK_XVFB_TEST_MAIN(TestRealWindow)

#include "tst_real_window.moc"
