// On a display of the test's own, under openbox: the program's own window focus, and launches whose keys must reach
// only the browser window they opened. A bystander window, of no program the launch started, logs every key it
// receives; the "browser" is this test started again, as the desktop entry made the application for web pages.

#include "X11Witness.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "os/focus/X11WindowFocus.h"
#include "os/keys/KeySender.h"
#include "os/shell/Shell.h"
#include "support/BrowserHome.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "support/XvfbServer.h"
#include "system/app/basModule1.h"
#include "system/launch/FocusLock.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstring>
#include <optional>
#include <utility>

namespace {

const char* const BrowserMode = "--browser";    // followed by the file that logs its keys, then the link
const char* const NoWindowMode = "--no-window"; // a program that runs for a while and shows nothing
const QByteArray BrowserTitle = "Quillock test browser";
const QString NoLinkMessage = QStringLiteral("This website has no link.");
const QString NotInFrontMessage = QStringLiteral("The browser window did not come to the front, so nothing was typed.");
const QString LostAfterStep3 =
    QStringLiteral("The browser window lost the focus; the launch was stopped after step 3.");

// The browser's window: the text of every key it receives is appended to the log at once.
struct LoggingWindow : QWidget
{
    QString logPath;

    void keyPressEvent(QKeyEvent* event) override
    {
        QFile log(logPath);
        if (log.open(QIODevice::Append))
            log.write(event->text().toUtf8());
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to log
};

// A window of no program the launch knows, on a connection of its own, that counts the keys it receives.
class Bystander
{
public:
    Bystander() : m_c(xcb_connect(nullptr, nullptr), &xcb_disconnect)
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c())).data;
        m_root = screen->root;
        m_window = xcb_generate_id(c());
        const std::uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
        xcb_create_window(c(), XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 400, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_EVENT_MASK, &events);
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

    // Asks the window manager for the focus, as a pager would; without one, takes it.
    void takeFocus(bool windowManagerRuns = true)
    {
        if (!windowManagerRuns) {
            xcb_set_input_focus(c(), XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        } else {
            const char* name = "_NET_ACTIVE_WINDOW";
            auto* atom = xcb_intern_atom_reply(
                c(), xcb_intern_atom(c(), 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
            xcb_client_message_event_t request{};
            request.response_type = XCB_CLIENT_MESSAGE;
            request.format = 32;
            request.window = m_window;
            request.type = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
            request.data.data32[0] = 2; // a pager
            std::free(atom);
            xcb_send_event(c(), 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&request));
        }
        xcb_flush(c());
    }

private:
    xcb_connection_t* c() const { return m_c.get(); }

    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> m_c;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
};

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestFocusLock : public QObject
{
    Q_OBJECT

    std::optional<Bystander> m_bystander;
    std::optional<Openbox> m_windowManager;
    std::optional<BrowserHome> m_home;

    // Ends the test browser, if it shows a window.
    static void endBrowser()
    {
        X11Probe probe;
        const std::optional<xcb_window_t> browser = probe.findWindow(BrowserTitle);
        if (const pid_t process = browser ? probe.process(*browser) : 0; process > 0)
            kill(process, SIGTERM);
        static_cast<void>(QTest::qWaitFor([] { return !X11Probe().findWindow(BrowserTitle); }, 10000));
    }

private slots:
    void initTestCase()
    {
        m_bystander.emplace();
        gobjEncrypt = std::make_unique<dsEncrypt>();
    }

    void cleanupTestCase()
    {
        // The program's own backends end before the display does.
        Keys::releasePlatformKeySender();
        Desktop::releasePlatformShell();
        Focus::releasePlatformWindowFocus();
        gobjEncrypt.reset();
    }

    // Which window has the focus, with and without a window manager; the program's own window and another's.
    void tellsTheFocusedWindow_data()
    {
        QTest::addColumn<bool>("windowManager");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }

    void tellsTheFocusedWindow()
    {
        QFETCH(bool, windowManager);
        if (windowManager != m_windowManager.has_value())
            m_windowManager.reset();
        if (windowManager && !m_windowManager)
            QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
        Focus::X11WindowFocus focus;
        QVERIFY(focus.canTell());
        QWidget own;
        own.show();
        own.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&own));
        QTRY_COMPARE(focus.focusedWindow(), std::optional<Focus::WindowId>(own.winId()));
        QVERIFY(focus.isOwnWindow(own.winId()));

        m_bystander->takeFocus(windowManager);
        QTRY_COMPARE(focus.focusedWindow(), std::optional<Focus::WindowId>(m_bystander->window()));
        QVERIFY(!focus.isOwnWindow(m_bystander->window()));
        QVERIFY(dynamic_cast<Focus::X11WindowFocus*>(&Focus::windowFocus()));
    }

    // Launched from the program's window, which has the focus; the first of the steps "Wait, Text user, Wait,
    // Text secret" waits for the browser's window to show, the second for what the row does meanwhile.
    void typesOnlyIntoTheBrowserWindow_data()
    {
        QTest::addColumn<QString>("browser"); // what the desktop entry starts; empty: the website has no link
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("browserGot");
        QTest::addColumn<QString>("message");
        QTest::newRow("a browser that takes the focus") << "window"
                                                        << ""
                                                        << "usersecret"
                                                        << "";
        QTest::newRow("the focus moves to the bystander during a wait") << "window"
                                                                        << "bystander"
                                                                        << "user" << LostAfterStep3;
        QTest::newRow("the program's window closes during a wait") << "no window"
                                                                   << "close"
                                                                   << ""
                                                                   << "";
        QTest::newRow("a website with an empty link") << ""
                                                      << ""
                                                      << "" << NoLinkMessage;
        QTest::newRow("a browser that exits at once") << "/bin/false"
                                                      << ""
                                                      << "" << NotInFrontMessage;
        QTest::newRow("a browser that shows no window") << "no window"
                                                        << ""
                                                        << "" << NotInFrontMessage;
    }

    void typesOnlyIntoTheBrowserWindow()
    {
        QFETCH(QString, browser);
        QFETCH(QString, meanwhile);
        if (!m_windowManager)
            QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
        if (!m_home) // after openbox has started: it ends without the themes that the machine's folders hold
            m_home.emplace();
        const QTemporaryDir logs;
        const QString browserLog = logs.filePath(QStringLiteral("browser.keys"));
        const QString self = '"' + QCoreApplication::applicationFilePath() + '"';
        QVERIFY(m_home->useBrowser(browser == "window"      ? self + ' ' + BrowserMode + " \"" + browserLog + "\" %u"
                                   : browser == "no window" ? self + ' ' + NoWindowMode + " %u"
                                                            : browser + " %u"));
        setFocusGraceForTesting(std::chrono::seconds(3));
        const auto restore = qScopeGuard([] {
            setFocusGraceForTesting({});
            endBrowser();
        });
        const TempDataFolder folder;
        const auto text = [](const char* plain) { return '\'' + FixQuotes(gobjEncrypt->Encrypt2(plain)) + '\''; };
        folder.execute({"INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink) VALUES (1, Null, Null)",
                        "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) "
                        "VALUES (1, 4, 70, Null), (1, 1, Null, " +
                            text("user") + "), (1, 4, 70, Null), (1, 1, Null, " + text("secret") + ")"});
        ScriptedDialogs dialogs;
        m_bystander->takeKeys();
        auto* window = new QWidget;
        const QPointer<QWidget> programWindow(window);
        const auto closeWindow = qScopeGuard([&programWindow] { delete programWindow; });
        auto* tmrWait = new QTimer(window);
        connect(tmrWait, &QTimer::timeout, tmrWait, [tmrWait] { tmrWait_Timer(*tmrWait); });
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));

        // Ends each wait once what the row does then is done.
        int waits = 0;
        bool waiting = false, bystanderAsked = false;
        const QPointer<QTimer> timer(tmrWait);
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            if (!timer || !timer->isActive())
                return static_cast<void>(waiting = false);
            waits += !std::exchange(waiting, true);
            bool over = true;
            if (waits == 1 && meanwhile == "close") { // and another window takes the focus
                delete programWindow;
                m_bystander->takeFocus();
                return;
            }
            if (waits == 1 && browser == "window")
                over = X11Probe().findWindow(BrowserTitle).has_value();
            if (waits == 2 && meanwhile == "bystander") {
                if (!bystanderAsked && readAll(browserLog) == "user") {
                    m_bystander->takeFocus();
                    bystanderAsked = true;
                }
                over = bystanderAsked && Focus::windowFocus().focusedWindow() == m_bystander->window();
            }
            if (over)
                tmrWait_Timer(*timer);
        });
        driver.start(50);
        ReplayWebsite(*tmrWait, QStringLiteral("1"), browser.isEmpty() ? QString() : QStringLiteral("https://x.test/"),
                      window);
        driver.stop();

        QFETCH(QString, message);
        QCOMPARE(dialogs.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QFETCH(QString, browserGot);
        QTRY_COMPARE(readAll(browserLog), browserGot);
        QTest::qWait(500); // for keys that should not come
        QCOMPARE(readAll(browserLog), browserGot);
        QCOMPARE(m_bystander->takeKeys(), 0);
    }
};

int main(int argc, char* argv[])
{
    // The test's browser: a window titled so that the test finds it, that takes the focus and logs its keys.
    if (argc == 4 && std::strcmp(argv[1], BrowserMode) == 0) {
        QApplication app(argc, argv);
        LoggingWindow window;
        window.logPath = QString::fromLocal8Bit(argv[2]);
        window.setWindowTitle(QString::fromLatin1(BrowserTitle));
        window.setFocusPolicy(Qt::StrongFocus);
        window.show();
        window.activateWindow();
        return QApplication::exec();
    }
    if (argc == 3 && std::strcmp(argv[1], NoWindowMode) == 0) {
        QThread::sleep(6);
        return 0;
    }
    XvfbServer display;
    if (!display.isRunning())
        qFatal("Xvfb did not start: is the xvfb package installed?");
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qunsetenv("WAYLAND_DISPLAY"); // the session is this display alone
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestFocusLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_focus_lock.moc"
