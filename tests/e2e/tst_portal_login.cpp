// The program's main act on a desktop with the desktop portal (headless GNOME's mutter, or with
// QUILLOCK_PORTAL_DESKTOP=KDE KDE's KWin; the program runs as launched from the desktop's menu): the main window, on
// Qt's wayland platform, launches a website into Debian's chromium running natively on Wayland, typing through the
// portal that the program chooses for this session once the desktop's consent dialog is answered (through the
// accessibility bus, as a user would by hand); the sign-in page receives exactly the user name and the password.

#include "os/keys/KeySender.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/PortalDesktopTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/SignInWebsite.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <memory>
#include <optional>

class TestPortalLogin : public QObject
{
    Q_OBJECT

public:
    TestPortalLogin(PortalDesktop*, QString missing) : m_missing(std::move(missing)) {}

private:
    QString m_missing;
    std::optional<BrowserHome> m_home;

private slots:
    void initTestCase()
    {
        if (!m_missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("the headless desktop is not installed: ") + m_missing));
        QVERIFY2(!m_home.emplace().chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
    }

    void signsInThroughTheDesktopPortal()
    {
        QVERIFY(m_home->useChromium(QStringLiteral("profile"), QStringLiteral("--ozone-platform=wayland")));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        const TempDataFolder folder;
        folder.execute(SignInWebsite::steps());
        seedWebsites(folder.dataFilePath(), {{QStringLiteral("Test site"), server.url(), 1}});
        ScriptedDialogs dialogs;
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        QTRY_VERIFY(window.isActiveWindow()); // the desktop gives a new window the focus
        const auto end = qScopeGuard([&] {
            Keys::releasePlatformKeySender(); // ends the portal's session
            m_home->endChromium(QStringLiteral("profile"));
        });

        QProcess answerer; // waits for the consent dialog that the launch brings up
        answerer.setProcessChannelMode(QProcess::ForwardedChannels);
        answerer.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QUILLOCK_APPROVE_SCRIPT)});
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
        // The launch ran the event loop until its last key, so the answerer has most likely ended already.
        QVERIFY2((answerer.state() == QProcess::NotRunning || answerer.waitForFinished(30000)) &&
                     answerer.exitStatus() == QProcess::NormalExit && answerer.exitCode() == 0,
                 "the consent dialog was not answered");
        QCOMPARE(dialogs.messageTexts(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 30000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
    }
};

QUILLOCK_PORTAL_DESKTOP_TEST_MAIN(TestPortalLogin)

#include "tst_portal_login.moc"
