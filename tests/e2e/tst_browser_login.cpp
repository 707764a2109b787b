// The program's main act: the website is launched from the main window; its link opens in Debian's chromium (under
// openbox on a display of the test's own), which the window manager maximizes, and the replayed keystrokes sign in to
// the test's page.

#include "X11Witness.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/XdgShell.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/SignInWebsite.h"
#include "support/TempDataFolder.h"
#include "support/XvfbTestMain.h"
#include "ui/main/frmWebsite.h"

#include <QPushButton>
#include <optional>

class TestBrowserLogin : public QObject
{
    Q_OBJECT

    std::optional<BrowserHome> m_home;
    std::optional<Openbox> m_windowManager;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
        QVERIFY2(!m_home.emplace().chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
    }

    // Ends the browser the test started, by its profile, with its helpers.
    void cleanupTestCase()
    {
        m_home->endChromium(QStringLiteral("profile"));
        QTRY_VERIFY_WITH_TIMEOUT(!X11Probe().findWindow("Chromium"), 10000);
    }

    void signsInThroughTheBrowser()
    {
        // The only application for web pages: chromium with a new profile.
        QVERIFY(m_home->useChromium(QStringLiteral("profile")));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        const TempDataFolder folder;
        folder.execute(SignInWebsite::steps());
        seedWebsites(folder.dataFilePath(), {{QStringLiteral("Test site"), server.url(), 1}});

        // The real backends, owned here so that they end before the display does.
        Keys::X11KeySender keys;
        Keys::setKeySender(&keys);
        Desktop::XdgShell shell;
        Desktop::setShell(&shell);
        ScriptedDialogs dialogs;
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
        Keys::setKeySender(nullptr);
        Desktop::setShell(nullptr);
        QCOMPARE(dialogs.messageTexts(), QStringList());

        X11Probe probe;
        std::optional<xcb_window_t> browser;
        QTRY_VERIFY_WITH_TIMEOUT((browser = probe.findWindow("Chromium")).has_value(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 20000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
        QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*browser), 5000);
    }
};

QUILLOCK_XVFB_TEST_MAIN(TestBrowserLogin)

#include "tst_browser_login.moc"
