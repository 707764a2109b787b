// On a display of the test's own: the X11 keystroke backend typing into a real Qt window, and a program (this
// test, showing a window titled with its arguments) started detached through the shell the session is given,
// covering the screen as no window manager runs.

#include "X11Witness.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/X11WindowMaximizer.h"
#include "os/shell/XdgShell.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/keys/SendKeys.h"
#include "support/SendBesideTheWindow.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <X11/Xlib.h>
#include <future>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const ShowWindow = "QUILLOCK_TEST_SHOW_WINDOW"; // set for the programs the test starts
const char* const TypeAndEnd = "--type-and-end";            // the argument of the program that types and ends at once

// A window that writes down the keys it receives: the text they type (\r for Enter, \t for Tab), +{TAB} for
// Shift+Tab, and ^ or % before the name of a key pressed with Control or Alt.
struct KeyRecorder : QWidget
{
    QString transcript;

    void keyPressEvent(QKeyEvent* event) override
    {
        const QString name = QKeySequence(event->key()).toString();
        const Qt::KeyboardModifiers held = event->modifiers();
        if (event->key() == Qt::Key_Backtab)
            transcript += QStringLiteral("+{TAB}");
        else if (!event->text().isEmpty()) // Shift, Caps Lock and the like type nothing
            transcript += held & Qt::ControlModifier ? '^' + name : held & Qt::AltModifier ? '%' + name : event->text();
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to record, not a move of the focus
};

// The display's keyboard, as a client connecting now sees it; é is not on the server's US keyboard.
std::unique_ptr<Display, int (*)(Display*)> display()
{
    return {XOpenDisplay(nullptr), &XCloseDisplay};
}
bool keymapHasEAcute()
{
    return XKeysymToKeycode(display().get(), 0xe9) != 0;
}

// The Latin-1 characters typed into the display's focused window, read as a late window reads them: one key a
// millisecond, with the keyboard map read again only when no key waits (as Chromium does). Until there are
// count of them, or 5 s have passed.
QString typedIntoALateWindow(Display* d, int count)
{
    int minKeycode = 0, maxKeycode = 0, perKeycode = 0;
    XDisplayKeycodes(d, &minKeycode, &maxKeycode);
    KeySym* map = nullptr;
    QString typed;
    for (QDeadlineTimer deadline(5000); typed.size() < count && !deadline.hasExpired(); QThread::msleep(1)) {
        XEvent event;
        if (XPending(d) == 0 || !map) {
            XFree(map);
            map = XGetKeyboardMapping(d, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
        } else if (XNextEvent(d, &event); event.type == KeyPress) {
            const KeySym keysym = map[(event.xkey.keycode - minKeycode) * perKeycode];
            if (keysym >= 0x20 && keysym <= 0xff)
                typed += QChar(static_cast<char16_t>(keysym));
        }
    }
    XFree(map);
    return typed;
}

} // namespace

class TestX11 : public QObject
{
    Q_OBJECT

    std::unique_ptr<Keys::X11KeySender> m_sender;
    KeyRecorder m_window;

private slots:
    void initTestCase()
    {
        QVERIFY2(!keymapHasEAcute(), "the test needs a character that the server's keyboard map lacks");
        m_window.setFocusPolicy(Qt::StrongFocus);
        m_window.show();
        m_window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        m_window.setFocus();
    }

    void init()
    {
        m_sender = std::make_unique<Keys::X11KeySender>();
        m_window.transcript.clear();
    }

    void typesIntoTheFocusedWindowInOrder_data()
    {
        QTest::addColumn<QStringList>("keyStrings");
        QTest::addColumn<QString>("transcript");
        // Backwards, so that keys put in the order of their codes would show.
        QString ascii;
        for (char16_t c = 0x7e; c >= 0x20; --c)
            ascii += QChar(c);
        QTest::newRow("every printable ASCII character") << QStringList{literalKeyString(ascii)} << ascii;
        QTest::newRow("Enter, Tab, Shift+Tab, and Shift, Control and Alt for a key, together and for a group")
            << QStringList{"a\rb\tc", QStringLiteral("+{\t}"), "+a", "+1", "+(xyz)", "q", "^a", "%b", "{{}", "^+x"}
            << "a\rb\tc+{TAB}A!XYZq^A%B{^X";
        // More different missing characters than spare keys: the first ones must be reused without garbling.
        const QString missing = QString::fromUtf8("éa€ΩéЖ中üαβγδεζηθικλμνξοαβγδεζηθικλμνξο");
        QTest::newRow("characters the keyboard map lacks") << eachCharacterLiterally(missing) << missing;
        QTest::newRow("with Caps Lock on")
            << QStringList{"{CAPSLOCK}", "a", "B", "1", "é", "{CAPSLOCK}", "c"} << QString::fromUtf8("aB1éc");
    }

    // As a launch types: each key only into the window, which has the focus; none into another.
    void typesIntoTheFocusedWindowInOrder()
    {
        QFETCH(QStringList, keyStrings);
        QFETCH(QString, transcript);
        QVERIFY(sendBesideTheWindow(*m_sender, keyStrings, m_window.winId()));
        QVERIFY(!m_sender->sendOnlyInto({{Keys::Key::Character, U'x', Keys::NoModifier}}, m_window.winId() + 1));
        QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, transcript, 10000);
        // No modifier is left held, neither as Qt sees it nor on the server.
        QCOMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
        QByteArray keys(32, '\0');
        XQueryKeymap(display().get(), keys.data());
        QCOMPARE(keys, QByteArray(32, '\0'));
    }

    // When idle long enough, when the sender ends, and when a program that types ends at once, as File > Exit
    // and the re-lock end it.
    void givesSpareKeysBack()
    {
        sendBesideTheWindow(*m_sender, {"é"});
        m_sender->releaseIdleKeys();
        QVERIFY2(keymapHasEAcute(), "given back while the window may still be taking it");
        QTest::qWait(2500);
        m_sender->releaseIdleKeys();
        QVERIFY(!keymapHasEAcute());
        sendBesideTheWindow(*m_sender, {"é"});
        QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, QString::fromUtf8("éé"), 10000);
        QVERIFY(keymapHasEAcute());
        m_sender.reset();
        QVERIFY(!keymapHasEAcute());

        QProcess program;
        program.start(QCoreApplication::applicationFilePath(), {TypeAndEnd});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.readAllStandardOutput(), "bound"); // it had borrowed a spare key for é
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!keymapHasEAcute());
    }

    void pressesABoundSpareOnceALateWindowCanHaveTheBinding()
    {
        const auto late = display();
        const Window window = XCreateSimpleWindow(late.get(), DefaultRootWindow(late.get()), 0, 0, 99, 99, 0, 0, 0);
        XSelectInput(late.get(), window, KeyPressMask);
        XMapWindow(late.get(), window);
        XSetInputFocus(late.get(), window, RevertToPointerRoot, CurrentTime);
        XSync(late.get(), False);
        const QString text = QString(300, QLatin1Char('a')) + QString::fromUtf8("é");
        std::future<QString> typed = std::async(std::launch::async, typedIntoALateWindow, late.get(), text.size());
        sendBesideTheWindow(*m_sender, {text.chopped(1), text.right(1)});
        QCOMPARE(typed.get(), text);
    }

    void startsDetachedAndCoversTheScreen()
    {
        const QString program = QCoreApplication::applicationFilePath();
        QTemporaryDir dir; // \s in Exec is a blank, kept inside its quoted argument
        QFile entry(dir.filePath(QStringLiteral("app.desktop")));
        const QString exec =
            QStringLiteral("[Desktop Entry]\nType=Application\nName=App\nExec=\"%1\" \"--flag\\swith blank\" %u\n");
        QVERIFY(entry.open(QIODevice::WriteOnly) && entry.write(exec.arg(program).toUtf8()) > 0 && entry.flush());
        // The shell and window maximizer that the program chooses for this session: XDG's and X11's.
        const auto release = qScopeGuard([] { Desktop::releasePlatformShell(); });
        Desktop::Shell& shell = Desktop::shell();
        QVERIFY(dynamic_cast<Desktop::XdgShell*>(&shell));
        QVERIFY2(!shell.startMaximized("/nonexistent/browser", "a link", 0), "a failed start was not reported");
        QVERIFY(shell.startMaximized(program.toStdString(), "A link 1", 0));
        QVERIFY(shell.startMaximized(entry.fileName().toStdString(), "A link 2", 0));

        X11Probe probe;
        for (const char* title : {"A link 1", "--flag with blank|A link 2"}) {
            std::optional<xcb_window_t> window;
            QTRY_VERIFY_WITH_TIMEOUT((window = probe.findWindow(title)).has_value(), 30000);
            const pid_t started = probe.process(*window);
            QVERIFY(started > 0);
            QVERIFY2(getsid(started) != getsid(0), "the program shares this program's session");
            QVERIFY2(waitpid(started, nullptr, WNOHANG) == -1 && errno == ECHILD, "the program is a child of this one");
            QTRY_COMPARE_WITH_TIMEOUT(probe.geometry(*window), probe.screen(), 10000);
            kill(started, SIGTERM);
        }
        // Without an X display a started program keeps the window size it chooses: the last maximizer serves any
        // session.
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        const std::unique_ptr<Desktop::WindowMaximizer> maximizer = Desktop::makeWindowMaximizer();
        qputenv("DISPLAY", display);
        QVERIFY(maximizer && !dynamic_cast<Desktop::X11WindowMaximizer*>(maximizer.get()));
    }
};

int main(int argc, char* argv[])
{
    // A program that types é through the platform's key sender and ends at once, its key just sent.
    if (argc == 2 && std::strcmp(argv[1], TypeAndEnd) == 0) {
        QCoreApplication app(argc, argv);
        sendKeys(literalKeyString(QChar(0xe9)));
        if (keymapHasEAcute())
            std::fputs("bound", stdout);
        dialogs().endProgram();
    }
    // A started program: a window titled with its arguments, until it is ended or its display goes.
    if (qEnvironmentVariableIsSet(ShowWindow)) {
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle(QApplication::arguments().mid(1).join(QLatin1Char('|')));
        window.show();
        return QApplication::exec();
    }
    XvfbServer display;
    if (!display.isRunning())
        qFatal("Xvfb did not start: is the xvfb package installed?");
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY"); // the session is this display alone, even when run on a Wayland desktop
    qputenv(ShowWindow, "1");
    QApplication app(argc, argv);
    TestX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11.moc"
