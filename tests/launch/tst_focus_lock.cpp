// On a display of the test's own, under openbox: which window has the focus, and launches whose keys must reach
// only the browser window they opened. A bystander window, of no program the launch started, counts every key it
// receives. The "browser" is this test started again as the desktop's application for web pages: a window that
// logs its keys and, as real browsers do, hands the link of a later start to the copy already running, whose
// window then comes to the front; and Debian's chromium, into whose sign-in page the program's main window launches
// a website, as a user does.

#include "LaunchWindows.h"
#include "X11Witness.h"
#include "os/focus/X11WindowFocus.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/Shell.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/SignInWebsite.h"
#include "support/XvfbServer.h"
#include "system/app/basModule1.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <optional>
#include <utility>

namespace {

const char* const BrowserMode = "--browser"; // then its key log, the class of its windows, the link
const QByteArray BrowserTitle = "Quillock test browser";
const QString Lost = QStringLiteral("The browser window lost the focus");
const QString Class = QStringLiteral("TestBrowser");

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

QString browserCommand(const QString& log)
{
    return '"' + QCoreApplication::applicationFilePath() + "\" " + BrowserMode + " \"" + log + "\" " + Class + " %u";
}

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

class TestFocusLock : public QObject
{
    Q_OBJECT

    std::optional<Bystander> m_bystander;
    std::optional<Openbox> m_windowManager;
    std::optional<BrowserHome> m_home;
    QTemporaryDir m_logs;

    QString log(const char* name) const { return m_logs.filePath(QString::fromLatin1(name)); }

    void useWindowManager()
    {
        if (!m_windowManager)
            QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
        if (!m_home) // after openbox has started: it ends without the themes that the machine's folders hold
            m_home.emplace();
    }

    // Ends a test browser that a test started.
    static void endWindows()
    {
        X11Probe probe;
        const std::optional<xcb_window_t> window = probe.findWindow(BrowserTitle);
        if (const pid_t process = window ? probe.process(*window) : 0; process > 0)
            kill(process, SIGTERM);
        static_cast<void>(QTest::qWaitFor([] { return !X11Probe().findWindow(BrowserTitle); }, 10000));
    }

private slots:
    void initTestCase()
    {
        m_bystander.emplace();
        gobjEncrypt = std::make_unique<dsEncrypt>();
    }

    void cleanup()
    {
        endWindows();
        QFile::remove(log("browser.keys"));
    }

    void cleanupTestCase()
    {
        // The program's own backends end before the display does.
        Keys::releasePlatformKeySender();
        Desktop::releasePlatformShell();
        Focus::releasePlatformWindowFocus();
        gobjEncrypt.reset();
    }

    // Which window has the focus, with and without a window manager, and what it tells of its program: this
    // program's window gives its process and the program's name as its class. A window that closed is gone.
    void tellsTheFocusedWindow_data()
    {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }

    void tellsTheFocusedWindow()
    {
        QFETCH(bool, windowManager);
        if (windowManager)
            useWindowManager();
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

        if (windowManager)
            QVERIFY(X11Probe().bringToFront(m_bystander->window()));
        else
            m_bystander->takeFocus();
        QTRY_COMPARE(focus.focusedWindow(), std::optional<Focus::WindowId>(m_bystander->window()));
        QCOMPARE(focus.programOf(m_bystander->window()).process, std::uint64_t{0});
        QVERIFY(dynamic_cast<Focus::X11WindowFocus*>(&Focus::windowFocus()));
        QVERIFY(focus.exists(ownWindow));
        own.reset();
        QTRY_VERIFY(!focus.exists(ownWindow));
    }

    // The program's main act: the main window launches a website into chromium, which the window manager maximizes,
    // and the replayed keystrokes sign in to the test's page.
    void signsInThroughChromium()
    {
        useWindowManager();
        QVERIFY2(!m_home->chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
        QVERIFY(m_home->useChromium(QStringLiteral("profile")));
        const auto end = qScopeGuard([this] { m_home->endChromium(QStringLiteral("profile")); });
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        const TempDataFolder folder;
        folder.execute(SignInWebsite::website(server.url()));
        ScriptedDialogs dialogs;
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
        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 20000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
        QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*browser), 5000);
        QCOMPARE(m_bystander->takeKeys(), 0);
    }

    // A window that takes the focus in the middle of a long text gets none of it, wherever in the text that happens;
    // the browser, which hands every link after the first to its running window, gets the text up to there, and the
    // whole text when nothing takes the focus.
    void noKeyReachesAWindowThatTakesTheFocusMidText()
    {
        useWindowManager();
        const QString browserLog = log("browser.keys");
        QVERIFY(m_home->useBrowser(browserCommand(browserLog), Class));
        const TempDataFolder folder;
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QChar(u'a' + (i * 7) % 26);
        storeWebsite(folder, text);
        ProgramWindow program;
        constexpr int Runs = 22; // the first two untouched: a new browser, then its running window
        for (int run = 0; run < Runs; ++run) {
            const int switchAt = run < 2 ? -1 : 40 + (run - 2) * 145;
            QFile::resize(browserLog, 0);
            QVERIFY(X11Probe().bringToFront(program.window->winId()));
            ScriptedDialogs dialogs;
            WatchedKeySender<Keys::X11KeySender> keys;
            keys.beforeSend = [&, taken = false](std::size_t sent) mutable {
                // as a program that takes the focus itself, behind the window manager's back
                if (switchAt >= 0 && sent >= std::size_t(switchAt) && !std::exchange(taken, true))
                    m_bystander->takeFocus();
            };
            program.launch();
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
    XvfbServer display;
    if (!display.isRunning())
        qFatal("Xvfb did not start: is the xvfb package installed?");
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qunsetenv("WAYLAND_DISPLAY"); // the session is this display alone
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication::setApplicationName(QStringLiteral("Quillock"));
    QApplication app(argc, argv);
    TestFocusLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_focus_lock.moc"
