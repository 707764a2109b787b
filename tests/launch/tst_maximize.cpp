// A real start through the desktop's shell: the program runs detached, with the arguments its desktop
// entry gives, and its window comes up maximized: through the window manager's EWMH state when one runs,
// covering the screen when none does. The program is this test itself, showing a Qt window.

#include "X11Witness.h"
#include "platform/shell/XdgShell.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

// Set for the programs the test starts, which are this test itself.
const char* const ShowWindow = "QUILLOCK_TEST_SHOW_WINDOW";

class TestMaximize : public QObject
{
    Q_OBJECT

private slots:
    void startsDetachedAndMaximized_data();
    void startsDetachedAndMaximized();
};

void TestMaximize::startsDetachedAndMaximized_data()
{
    QTest::addColumn<bool>("windowManager");
    QTest::addColumn<QString>("exec"); // a desktop entry's Exec line, or empty to start the program itself
    QTest::addColumn<QString>("title");

    QTest::newRow("a program, no window manager: the window covers the screen") << false << ""
                                                                                << "A link 1";
    // \s in Exec is a blank, kept inside its quoted argument.
    QTest::newRow("a desktop entry, openbox: the window is maximized") << true << R"("%1" "--flag\swith blank" %u)"
                                                                       << "--flag with blank|A link 2";
}

void TestMaximize::startsDetachedAndMaximized()
{
    QFETCH(bool, windowManager);
    QFETCH(QString, exec);
    QFETCH(QString, title);
    std::optional<Openbox> openbox;
    if (windowManager)
        QVERIFY2(openbox.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
    QString program = QCoreApplication::applicationFilePath();
    QTemporaryDir dir;
    if (!exec.isEmpty()) {
        QFile entry(dir.filePath(QStringLiteral("app.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(("[Desktop Entry]\nType=Application\nName=App\nExec=" + exec.arg(program) + '\n').toUtf8());
        program = entry.fileName();
    }
    Desktop::XdgShell shell;
    QVERIFY2(!shell.startMaximized("/nonexistent/browser", "a link", 0), "a failed start was not reported");
    QVERIFY(shell.startMaximized(program.toStdString(), title.section('|', -1).toStdString(), 0));

    X11Probe probe;
    std::optional<xcb_window_t> window;
    QTRY_VERIFY_WITH_TIMEOUT((window = probe.findWindow(title.toUtf8())).has_value(), 30000);
    const pid_t started = probe.process(*window);
    QVERIFY(started > 0);
    QVERIFY2(getsid(started) != getsid(0), "the program shares this program's session");
    QVERIFY2(waitpid(started, nullptr, WNOHANG) == -1 && errno == ECHILD, "the program is a child of this one");
    if (windowManager)
        QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*window), 10000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(probe.geometry(*window), probe.screen(), 10000);
    kill(started, SIGTERM);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(ShowWindow)) { // a started program: a window titled with its arguments, for a minute
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle(QApplication::arguments().mid(1).join(QLatin1Char('|')));
        window.show();
        QTimer::singleShot(60000, &app, &QApplication::quit);
        return QApplication::exec();
    }
    XvfbServer display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start: is the xvfb package installed?\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv(ShowWindow, "1");
    QCoreApplication app(argc, argv);
    TestMaximize test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_maximize.moc"
