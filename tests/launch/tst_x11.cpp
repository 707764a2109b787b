// On a display of the test's own: the X11 keystroke backend typing into a real Qt window; a program (this test,
// showing a window titled with its arguments) started detached through the shell the session is given, covering the
// screen as no window manager runs; and, under openbox, which window has the focus and launches whose keys must
// reach only the browser window they opened. A bystander window, of no program the launch started, counts every key
// it receives. The "browser" is this test started again as the desktop's application for web pages: a window that
// logs its keys and, as real browsers do, hands the link of a later start to the copy already running, whose window
// then comes to the front; and Debian's chromium, into whose sign-in page the program's main window launches a
// website, as a user does. The tests without a window manager come first.

#include "X11Witness.h"
#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "domain/steps/OneTimeCode.h"
#include "os/focus/X11WindowFocus.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/X11WindowMaximizer.h"
#include "os/shell/XdgShell.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/keys/SendKeys.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/SendBesideTheWindow.h"
#include "support/SignInWebsite.h"
#include "support/TempDataFolder.h"
#include "support/XvfbServer.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StoredTexts.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayClock.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <X11/Xlib.h>
#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const ShowWindow = "QUILLOCK_TEST_SHOW_WINDOW"; // set for the programs the test starts
const char* const TypeAndEnd = "--type-and-end";            // the argument of the program that types and ends at once
const char* const BrowserMode = "--browser";                // then its key log, the class of its windows, the link
const QByteArray BrowserTitle = "Quillock test browser";
const QString Lost = QStringLiteral("The browser window lost the focus");
const QString Class = QStringLiteral("TestBrowser");

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

// A window, shown and active, that appends the text of every key it receives to its log at once.
struct LoggingWindow : QWidget
{
    LoggingWindow(const QString& log, const QString& title) : logPath(log)
    {
        setWindowTitle(title);
        setFocusPolicy(Qt::StrongFocus);
        show();
        activateWindow();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        QFile log(logPath);
        if (log.open(QIODevice::Append))
            log.write(event->text().toUtf8());
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to log

    QString logPath;
};

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The session's own key sender, installed for its lifetime, which calls back before every send into one window only,
// given how many keys went before.
class WatchedKeySender : public Keys::KeySender
{
public:
    WatchedKeySender() { Keys::setKeySender(this); }
    ~WatchedKeySender() override { Keys::setKeySender(nullptr); }
    WatchedKeySender(const WatchedKeySender&) = delete;
    WatchedKeySender& operator=(const WatchedKeySender&) = delete;

    void send(const std::vector<Keys::KeyStroke>& strokes) override { m_keys.send(strokes); }
    bool sendOnlyInto(const std::vector<Keys::KeyStroke>& strokes, std::uint64_t window) override
    {
        if (beforeSend)
            beforeSend(m_sent);
        m_sent += strokes.size();
        return m_keys.sendOnlyInto(strokes, window);
    }

    std::function<void(std::size_t)> beforeSend;

private:
    Keys::X11KeySender m_keys;
    std::size_t m_sent = 0;
};

// A window of no program the launch knows, on a connection of its own, that counts the keys it receives.
class Bystander
{
public:
    Bystander() : m_c(xcb_connect(nullptr, nullptr), &xcb_disconnect)
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c())).data;
        m_window = xcb_generate_id(c());
        const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
        xcb_create_window(c(), XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 400, 300, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
        xcb_change_property(c(), XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 9, "Bystander");
        xcb_map_window(c(), m_window);
        xcb_flush(c());
    }

    xcb_window_t window() const { return m_window; }

    // The keys received since the last call: a round trip first, so that every key the server took before is in.
    int takeKeys()
    {
        std::free(xcb_get_input_focus_reply(c(), xcb_get_input_focus(c()), nullptr));
        int keys = 0;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c())) {
            keys += (event->response_type & 0x7f) == XCB_KEY_PRESS;
            std::free(event);
        }
        return keys;
    }

    // Takes the input focus itself, as a program may behind the window manager's back.
    void takeFocus()
    {
        xcb_set_input_focus(c(), XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        xcb_flush(c());
    }

private:
    xcb_connection_t* c() const { return m_c.get(); }

    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> m_c;
    xcb_window_t m_window = XCB_NONE;
};

// The test browser: the first copy shows its window; a later one hands it the link and ends, and the window of the
// first comes to the front.
int runBrowser(int argc, char* argv[])
{
    QApplication::setApplicationName(QString::fromLocal8Bit(argv[3])); // the class of its windows
    QApplication app(argc, argv);
    const QString log = QString::fromLocal8Bit(argv[2]);
    const QString server = log + QStringLiteral(".socket");
    QLocalSocket running;
    running.connectToServer(server);
    if (running.waitForConnected(2000)) {
        running.write(argv[4]);
        return running.waitForBytesWritten(2000) ? 0 : 1;
    }
    LoggingWindow window(log, BrowserTitle);
    QLocalServer::removeServer(server);
    QLocalServer listener;
    listener.listen(server);
    QObject::connect(&listener, &QLocalServer::newConnection, [&] {
        listener.nextPendingConnection()->deleteLater();
        static_cast<void>(X11Probe().bringToFront(window.winId()));
    });
    return QApplication::exec();
}

} // namespace

class TestX11 : public QObject
{
    Q_OBJECT

    std::unique_ptr<Keys::X11KeySender> m_sender;
    KeyRecorder m_window;
    std::optional<Bystander> m_bystander;
    std::optional<Openbox> m_windowManager;
    std::optional<BrowserHome> m_home;

    void useWindowManager()
    {
        if (!m_windowManager)
            QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
        if (!m_home) // after openbox has started: it ends without the themes that the machine's folders hold
            m_home.emplace();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!keymapHasEAcute(), "the test needs a character that the server's keyboard map lacks");
        m_window.setFocusPolicy(Qt::StrongFocus);
        m_window.show();
        m_window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
        m_window.setFocus();
        m_bystander.emplace();
        gobjEncrypt = std::make_unique<dsEncrypt>();
    }

    void init()
    {
        m_sender = std::make_unique<Keys::X11KeySender>();
        m_window.transcript.clear();
    }

    void cleanupTestCase()
    {
        // The program's own backends end before the display does.
        Keys::releasePlatformKeySender();
        Desktop::releasePlatformShell();
        Focus::releasePlatformWindowFocus();
        gobjEncrypt.reset();
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

    // Which window has the focus, here without a window manager (the launches below follow it under openbox), and
    // what it tells of its program: this program's window gives its process and the program's name as its class. A
    // window that closed is gone.
    void tellsTheFocusedWindow()
    {
        Focus::X11WindowFocus focus;
        QVERIFY(focus.canTell());
        auto own = std::make_unique<QWidget>();
        own->show();
        own->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(own.get()));
        const Focus::WindowId ownWindow = own->winId();
        QTRY_COMPARE(focus.focusedWindow(), std::optional<Focus::WindowId>(ownWindow));
        const Focus::WindowProgram program = focus.programOf(ownWindow);
        QCOMPARE(program.process, std::uint64_t(QCoreApplication::applicationPid()));
        QVERIFY(std::ranges::count(program.classNames, "Quillock"));

        m_bystander->takeFocus();
        QTRY_COMPARE(focus.focusedWindow(), std::optional<Focus::WindowId>(m_bystander->window()));
        QCOMPARE(focus.programOf(m_bystander->window()).process, std::uint64_t{0});
        QVERIFY(dynamic_cast<Focus::X11WindowFocus*>(&Focus::windowFocus()));
        QVERIFY(focus.exists(ownWindow));
        own.reset();
        QTRY_VERIFY(!focus.exists(ownWindow));
    }

    // The program's main act: the main window launches a website into chromium, which the window manager maximizes,
    // and the replayed keystrokes sign in to the test's page; also from a data file whose stored texts are protected
    // under the master password, and with a second factor and a pause between keys that the pages measure.
    void signsInThroughChromium_data()
    {
        QTest::addColumn<bool>("protectedFile");
        QTest::addColumn<int>("keyPause");
        QTest::newRow("field cipher") << false << 0;
        QTest::newRow("protected") << true << 0;
        QTest::newRow("one-time code, paced") << false << 50;
    }
    void signsInThroughChromium()
    {
        QFETCH(bool, protectedFile);
        QFETCH(int, keyPause);
        useWindowManager();
        QVERIFY2(!m_home->chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
        const QString profile = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY(m_home->useChromium(profile));
        const auto end = qScopeGuard([this, profile] { m_home->endChromium(profile); });
        PageServer server(SignInWebsite::Page + SignInWebsite::KeyGapScript);
        server.nextPages["/login"] = SignInWebsite::CodePage + SignInWebsite::KeyGapScript;
        QVERIFY(server.isListening());
        const TempDataFolder folder;
        folder.execute(keyPause > 0 ? SignInWebsite::websiteWithOneTimeCode(server.url(), keyPause)
                                    : SignInWebsite::website(server.url()));
        // a second into a code's period: the code stays the same until the launch is done
        const qint64 start = (QDateTime::currentSecsSinceEpoch() / 30 * 30 + 1) * 1000;
        const ReplayClockForTest clock(start);
        ScriptedDialogs dialogs;
        if (protectedFile) {
            folder.execute({"UPDATE Setup SET MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf("m"))});
            ProtectStoredTexts(QStringLiteral("m"), KeyDerivation::fresh(1, 8192));
            useFieldCipher(); // as a program that starts on the file
            dialogs.answers = QStringList{"m"};
            QCOMPARE(folder.column("SELECT COUNT(*) FROM WebsiteInstructions WHERE TextToTypeIn LIKE 'qp1:%'"),
                     QStringList{"2"});
        }
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
        QCOMPARE(dialogs.messageTexts(), QStringList());

        X11Probe probe;
        std::optional<xcb_window_t> browser;
        QTRY_VERIFY_WITH_TIMEOUT((browser = probe.findWindow("Chromium")).has_value(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(server.queries > (keyPause > 0 ? 1 : 0), 40000);
        const QUrlQuery login = server.queryOfPath.value("/login");
        QCOMPARE((QStringList{login.queryItemValue("username", QUrl::FullyDecoded),
                              login.queryItemValue("password", QUrl::FullyDecoded)}),
                 (QStringList{SignInWebsite::UserName, SignInWebsite::Password}));
        // the page notices keys typed at full speed, and a paced website's keys come no closer than half its pause
        const int gap = login.queryItemValue("gap").toInt();
        QVERIFY2(keyPause > 0 ? gap >= keyPause / 2 : gap < 20, qPrintable(login.queryItemValue("gap")));
        qInfo("shortest time between two keys in the page: %d ms", gap);
        if (keyPause > 0)
            QCOMPARE(
                server.queryOfPath.value("/code").queryItemValue("code"),
                std::get<OneTimeCode>(OneTimeCode::fromText(SignInWebsite::OneTimeCodeSecret)).codeAt(start / 1000));
        QCOMPARE(server.pageLoads, 1);
        QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*browser), 5000);
        QCOMPARE(m_bystander->takeKeys(), 0);
        useFieldCipher();
    }

    // A window that takes the focus in the middle of a long text gets none of it, wherever in the text that happens;
    // the browser, which hands every link after the first to its running window, gets the text up to there, and the
    // whole text when nothing takes the focus.
    void noKeyReachesAWindowThatTakesTheFocusMidText()
    {
        useWindowManager();
        const QTemporaryDir logs;
        const QString browserLog = logs.filePath(QStringLiteral("browser.keys"));
        QVERIFY(m_home->useBrowser('"' + QCoreApplication::applicationFilePath() + "\" " + BrowserMode + " \"" +
                                       browserLog + "\" " + Class + " %u",
                                   Class));
        const auto end = qScopeGuard([] { // ends the test browser
            X11Probe probe;
            const std::optional<xcb_window_t> window = probe.findWindow(BrowserTitle);
            if (const pid_t process = window ? probe.process(*window) : 0; process > 0)
                kill(process, SIGTERM);
            static_cast<void>(QTest::qWaitFor([] { return !X11Probe().findWindow(BrowserTitle); }, 10000));
        });
        const TempDataFolder folder;
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QChar(u'a' + (i * 7) % 26);
        folder.execute({"INSERT INTO Website (WebsiteID, WebsiteLink) VALUES (1, " +
                            QuotedValue(gobjEncrypt->Encrypt2(QStringLiteral("https://x.test/"))) + ')',
                        "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, TextToTypeIn) VALUES (1, 1, " +
                            QuotedValue(gobjEncrypt->Encrypt2(text)) + ')'});
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        constexpr int Runs = 22; // the first two untouched: a new browser, then its running window
        for (int run = 0; run < Runs; ++run) {
            const int switchAt = run < 2 ? -1 : 40 + (run - 2) * 145;
            QFile::resize(browserLog, 0);
            QVERIFY(X11Probe().bringToFront(window.winId()));
            ScriptedDialogs dialogs;
            WatchedKeySender keys;
            keys.beforeSend = [&, taken = false](std::size_t sent) mutable {
                // as a program that takes the focus itself, behind the window manager's back
                if (switchAt >= 0 && sent >= std::size_t(switchAt) && !std::exchange(taken, true))
                    m_bystander->takeFocus();
            };
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
            QString got = readAll(browserLog);
            QString before;
            do { // the keys on their way arrive
                before = got;
                QTest::qWait(300);
                got = readAll(browserLog);
            } while (got != before);
            const QString where = QStringLiteral("run %1: %2 keys: ").arg(run).arg(got.size());
            QVERIFY2(text.startsWith(got), qPrintable(where + "the browser got other keys"));
            QCOMPARE(m_bystander->takeKeys(), 0);
            QCOMPARE(where + dialogs.messageTexts().join('|'),
                     where + (switchAt < 0 ? QString() : Lost + "; the launch was stopped during step 1."));
            QVERIFY2(switchAt < 0 ? got.size() == text.size() : got.size() >= switchAt, qPrintable(where));
        }
    }
};

int main(int argc, char* argv[])
{
    if (argc == 5 && std::strcmp(argv[1], BrowserMode) == 0)
        return runBrowser(argc, argv);
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
    QApplication::setApplicationName(QStringLiteral("Quillock"));
    QApplication app(argc, argv);
    TestX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11.moc"
