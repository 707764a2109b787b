// The program's main act on a Wayland desktop (headless sway): the real Quillock, on Qt's wayland platform, launches
// a website from its launcher into Debian's chromium running natively on Wayland, whose sign-in page receives exactly
// the user name and the password.

#include "domain/data/DataFileSchema.h"
#include "os/keys/KeySender.h"
#include "os/keys/KeyString.h"
#include "platform/db/DataFileCreator.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/SeedData.h"
#include "support/SignInWebsite.h"
#include "support/SwayTestMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <optional>

namespace {

// A window that sway shows: its process, and its program's name.
struct SwayWindow
{
    qint64 pid;
    QString appId;
};

// The window in the node of sway's tree, or below it, that has the keyboard focus; a default one (no process) when
// none has.
SwayWindow focusedIn(const QJsonObject& node)
{
    if (node[QStringLiteral("focused")].toBool() && node.contains(QStringLiteral("pid")))
        return {node[QStringLiteral("pid")].toInteger(), node[QStringLiteral("app_id")].toString()};
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node[QLatin1String(children)].toArray())
            if (const SwayWindow window = focusedIn(child.toObject()); window.pid)
                return window;
    return {0, {}};
}

SwayWindow focusedWindow(const std::string& ipcSocket)
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), {QStringLiteral("-s"), QString::fromStdString(ipcSocket),
                                              QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")});
    return swaymsg.waitForFinished(10000) ? focusedIn(QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object())
                                          : SwayWindow{0, {}};
}

} // namespace

class TestWaylandLogin : public QObject
{
    Q_OBJECT

    std::optional<BrowserHome> m_home;
    std::string m_ipcSocket;

private slots:
    void initTestCase()
    {
        QUILLOCK_SKIP_WITHOUT_SWAY();
        QVERIFY2(!m_home.emplace().chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
        m_ipcSocket = qEnvironmentVariable("SWAYSOCK").toStdString();
        QVERIFY2(!m_ipcSocket.empty(), "the compositor's control socket is not known");
    }

    void signsInThroughANativeWaylandBrowser()
    {
        QVERIFY(m_home->useChromium(QStringLiteral("profile"), QStringLiteral("--ozone-platform=wayland")));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        QTemporaryDir folder;
        const QString dataFile = folder.filePath(QStringLiteral("Quillock.mdb"));
        createDatabaseFile(dataFile, newDataFileStatements() << QStringLiteral("UPDATE Setup SET DefaultToLauncher = 1")
                                                             << SignInWebsite::steps());
        seedWebsites(dataFile, {{QStringLiteral("Test site"), server.url(), 1}});
        const QString program = folder.filePath(QStringLiteral("quillock"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOCK_PROGRAM), program));

        QProcess quillock; // on the wayland platform, as this program is
        quillock.setProcessChannelMode(QProcess::ForwardedChannels);
        quillock.start(program);
        QVERIFY(quillock.waitForStarted());
        const auto end = qScopeGuard([&] { // ends the browser and the program
            m_home->endChromium(QStringLiteral("profile"));
            quillock.kill();
            quillock.waitForFinished();
        });
        QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(m_ipcSocket).pid, quillock.processId(), 20000);
        // The seat's keyboard comes with the first key, and the window hears of it a moment later: Down first, which
        // keeps the only website selected, then Enter on it.
        Keys::keySender().send(Keys::parseKeyString(U"{DOWN}"));
        QTest::qWait(1000);
        Keys::keySender().send(Keys::parseKeyString(U"{ENTER}")); // launches the selected website

        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 60000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
        const SwayWindow browser = focusedWindow(m_ipcSocket);
        QVERIFY(browser.appId.contains(QStringLiteral("chromium"), Qt::CaseInsensitive));
        // It was started with the compositor's activation token, which lets a new program take the focus.
        QFile environment(QStringLiteral("/proc/%1/environ").arg(browser.pid));
        QVERIFY(environment.open(QIODevice::ReadOnly));
        const QList<QByteArray> variables = environment.readAll().split('\0');
        QVERIFY(std::any_of(variables.begin(), variables.end(), [](const QByteArray& variable) {
            return variable.startsWith("XDG_ACTIVATION_TOKEN=") && variable.size() > 21;
        }));
        QCOMPARE(quillock.state(), QProcess::Running);
    }
};

QUILLOCK_SWAY_TEST_MAIN(TestWaylandLogin)

#include "tst_wayland_login.moc"
