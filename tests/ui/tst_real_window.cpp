// The real program under a real X server: it starts from its own folder with its data file, shows its
// window in the saved mode at the saved size, and a screenshot of each mode is kept for the README.

#include "X11Witness.h"
#include "data/DataFileSchema.h"
#include "platform/db/DataFileCreator.h"
#include "support/SeedData.h"
#include "support/XvfbTestMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

} // namespace

class TestRealWindow : public QObject
{
    Q_OBJECT

private slots:
    void programShowsItsWindow_data();
    void programShowsItsWindow();
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
    const QString program = folder.filePath(QStringLiteral("quillock"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLOCK_PROGRAM), program));
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

QUILLOCK_XVFB_TEST_MAIN(TestRealWindow)

#include "tst_real_window.moc"
