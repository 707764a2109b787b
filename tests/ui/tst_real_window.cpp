// The real program under a real X server, started from its own folder with its data file. (That a running
// Quillock holds its lock on the data file is shown by the install test; the utility window by its own tests.)

#include "X11Witness.h"
#include "domain/crypto/StoredMasterPassword.h"
#include "domain/data/DataFileSchema.h"
#include "domain/data/StatementText.h"
#include "os/keys/KeySender.h"
#include "os/keys/KeyString.h"
#include "platform/db/DataFileCreator.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
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

class TestRealWindow : public QObject
{
    Q_OBJECT

private slots:
    // The data file: a statement that changes a new one (which then gets four websites), or other bytes as they are;
    // and the window's size in pixels when the start succeeds. (A missing data file is refused as a damaged one is:
    // the data store's test shows that it is not made.)
    void start_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QSize>("pixels");
        // 10500 x 7200 twips for the grid, 4200 x 6300 for the launcher
        const QByteArray sizes("UPDATE Setup SET FormWidth = 10500, FormHeight = 7200, LauncherWidth = 4200, "
                               "LauncherHeight = 6300, DefaultToLauncher = ");
        QTest::newRow("maintenance mode") << sizes + "0" << QSize(700, 480);
        QTest::newRow("launcher mode") << sizes + "1" << QSize(280, 420);
        QTest::newRow("empty") << QByteArray("") << QSize();
        // Enter gives the empty answer, which is a wrong one.
        QTest::newRow("wrong master password")
            << ("UPDATE Setup SET MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf("Sesame")))
                   .toLatin1()
            << QSize();
    }

    // A good start shows the window at its saved size, and its screenshot is kept for the README. In a failed one the
    // start-up prompt and message are answered with Enter on the display's keyboard; the program then exits with
    // code 1, not by a signal on its way out, and leaves the data file as it was.
    void start()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QSize, pixels);
        QTemporaryDir folder;
        const QString dataFile = folder.filePath(QStringLiteral("Quillock.mdb"));
        const QString statement = QString::fromLatin1(contents);
        if (statement.startsWith("UPDATE")) {
            createDatabaseFile(dataFile, newDataFileStatements() << statement);
            seedWebsites(dataFile, {{"Bank of Example", "https://bank.example/login", 1},
                                    {"Mail", "https://mail.example", 2},
                                    {"Library card", "https://library.example/account", 3},
                                    {"Energy supplier", "https://energy.example", 4}});
        } else {
            QFile file(dataFile);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.flush());
        }
        const QByteArray before = fileBytes(dataFile);

        QProcess quillock; // a copy in the folder, where it looks for its data file
        const QString program = folder.filePath(QFileInfo(QStringLiteral(QUILLOCK_PROGRAM)).fileName());
        QVERIFY(QFile::copy(QStringLiteral(QUILLOCK_PROGRAM), program));
        quillock.start(program);
        QVERIFY2(quillock.waitForStarted(), qPrintable(quillock.errorString()));
        X11Probe probe;
        std::optional<xcb_window_t> window;
        QTRY_VERIFY_WITH_TIMEOUT((window = probe.findWindow(pixels.isValid() ? "Quillock!" : "Quillock")).has_value(),
                                 20000);
        if (pixels.isValid()) {
            QTest::qWait(500); // let it paint
            QCOMPARE(probe.geometry(*window).size(), pixels);
            const QImage image = QGuiApplication::primaryScreen()->grabWindow(*window).toImage();
            QSet<QRgb> colours; // a blank or failed capture has one
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4)
                    colours.insert(image.pixel(x, y));
            QVERIFY(colours.size() > 3);
            const QString picture = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-') + ".png";
            QVERIFY(image.save(
                QDir(qEnvironmentVariable("QUILLOCK_SCREENSHOT_DIR", QDir::currentPath())).filePath(picture)));
            quillock.kill();
            quillock.waitForFinished();
            return;
        }
        // Enter again while the program runs on: the first may come before the message has the keyboard focus.
        for (int attempt = 0; attempt < 20 && quillock.state() != QProcess::NotRunning; ++attempt) {
            Keys::keySender().send(Keys::parseKeyString(U"{ENTER}"));
            quillock.waitForFinished(1000);
        }
        Keys::releasePlatformKeySender();
        QVERIFY2(quillock.state() == QProcess::NotRunning, "the message was answered, yet the program did not end");
        QCOMPARE(quillock.exitStatus(), QProcess::NormalExit);
        QCOMPARE(quillock.exitCode(), 1);
        QVERIFY(QFile::exists(dataFile)); // not removed
        QCOMPARE(fileBytes(dataFile), before);
    }
};

QUILLOCK_XVFB_TEST_MAIN(TestRealWindow)

#include "tst_real_window.moc"
