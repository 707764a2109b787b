// A started program's window comes up maximized: through the window manager's EWMH state when one
// runs, covering the screen when none does. The program is this test itself, showing a Qt window.

#include "X11Witness.h"
#include "platform/shell/XdgShell.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {

const QByteArray ShowWindowOption = "--show-window=";

// The started program: a small window with the given title, for a minute at most.
int showWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(QByteArray(argv[1]).mid(ShowWindowOption.size())));
    window.resize(300, 200);
    window.show();
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return QApplication::exec();
}

} // namespace

class TestMaximize : public QObject
{
    Q_OBJECT

private slots:
    void maximizesTheStartedWindow_data();
    void maximizesTheStartedWindow();
};

void TestMaximize::maximizesTheStartedWindow_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::newRow("no window manager: the window covers the screen") << false;
    QTest::newRow("openbox: the window is maximized") << true;
}

void TestMaximize::maximizesTheStartedWindow()
{
    QFETCH(bool, windowManager);
    std::optional<Openbox> openbox;
    if (windowManager)
        QVERIFY2(openbox.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
    const QString title = QStringLiteral("Maximize me %1").arg(QTest::currentDataTag());
    Desktop::XdgShell shell;
    QVERIFY(shell.startMaximized(QCoreApplication::applicationFilePath().toStdString(),
                                 (ShowWindowOption + title.toUtf8()).toStdString(), 0));

    X11Probe probe;
    std::optional<xcb_window_t> window;
    QTRY_VERIFY_WITH_TIMEOUT((window = probe.findWindow(title)).has_value(), 30000);
    const pid_t started = probe.process(*window);
    QVERIFY(started > 0);
    if (windowManager)
        QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*window), 10000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(probe.geometry(*window), probe.screen(), 10000);
    kill(started, SIGTERM);
}

int main(int argc, char* argv[])
{
    if (argc == 2 && QByteArray(argv[1]).startsWith(ShowWindowOption))
        return showWindow(argc, argv);
    XvfbServer display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start: is the xvfb package installed?\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    QCoreApplication app(argc, argv);
    TestMaximize test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_maximize.moc"
