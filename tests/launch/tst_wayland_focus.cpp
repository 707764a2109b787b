// On a Wayland compositor of the test's own (headless sway), which tells its clients which toplevel window is active:
// the window focus it gives, and the real Quillock launching a website from its launcher into Debian's chromium
// running natively on Wayland. A bystander window, this test started again, logs the keys it receives. Windows are
// made active through sway's control socket (swaymsg), as when a program raises its window.

#include "LaunchWindows.h"
#include "domain/data/DataFileSchema.h"
#include "os/focus/ForeignToplevelFocus.h"
#include "os/keys/KeyString.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/SignInWebsite.h"
#include "support/SwayTestMain.h"
#include "system/launch/BrowserWindows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cstring>

namespace {

const char* const WindowMode = "--window"; // then its key log, its title and its app id
const QString BystanderTitle = QStringLiteral("Quillock bystander");

int runWindow(int argc, char* argv[])
{
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[4]));
    QApplication app(argc, argv);
    LoggingWindow window(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return QApplication::exec();
}

// Has sway carry out a command (a criteria and what to do), waiting until it has.
bool swaymsg(const QString& command)
{
    return QProcess::execute(QStringLiteral("swaymsg"), {QStringLiteral("-q"), command}) == 0;
}

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

SwayWindow focusedWindow()
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")});
    return swaymsg.waitForFinished(10000) ? focusedIn(QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object())
                                          : SwayWindow{0, {}};
}

} // namespace

class TestWaylandFocus : public QObject
{
    Q_OBJECT

    std::optional<BrowserHome> m_home;
    QTemporaryDir m_logs;
    QProcess m_bystander;

    QString log(const char* name) const { return m_logs.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QUILLOCK_SKIP_WITHOUT_SWAY();
        // Quillock's windows give their desktop entry's id, as the program's do.
        QGuiApplication::setDesktopFileName(Application::desktopEntryId());
        m_home.emplace();
        m_bystander.start(QCoreApplication::applicationFilePath(),
                          {WindowMode, log("bystander.keys"), BystanderTitle, QStringLiteral("bystander")});
        QVERIFY(m_bystander.waitForStarted());
    }

    void cleanupTestCase()
    {
        m_bystander.kill();
        m_bystander.waitForFinished();
        Keys::releasePlatformKeySender();
        Focus::releasePlatformWindowFocus();
    }

    // The active window and what it tells: Quillock's gives its desktop entry's id, which marks it as Quillock's;
    // a window that closed is gone.
    void tellsTheActiveWindow()
    {
        Focus::WindowFocus& focus = Focus::windowFocus();
        QVERIFY(dynamic_cast<Focus::ForeignToplevelFocus*>(&focus));
        QVERIFY(focus.canTell());
        const auto activeAppId = [&focus] {
            const std::optional<Focus::WindowId> active = focus.focusedWindow();
            return active ? focus.programOf(*active).classNames : std::vector<std::string>{};
        };
        QTRY_COMPARE(activeAppId(), std::vector<std::string>{"bystander"});
        auto own = std::make_unique<QWidget>();
        own->show(); // sway gives a new window the focus
        QTRY_COMPARE(activeAppId(), std::vector<std::string>{Application::desktopEntryId().toStdString()});
        const Focus::WindowId ownWindow = *focus.focusedWindow();
        QVERIFY(isQuillockWindow(focus.programOf(ownWindow)));

        QVERIFY(swaymsg("[title=\"^" + BystanderTitle + "$\"] focus"));
        QCOMPARE(activeAppId(), std::vector<std::string>{"bystander"}); // at once: the question reads sway's news
        QVERIFY(focus.exists(ownWindow));
        own.reset();
        QTRY_VERIFY(!focus.exists(ownWindow));
    }

    // The program's main act: the real Quillock, on Qt's wayland platform, launches the selected website from its
    // launcher, and the sign-in page receives exactly the user name and the password.
    void signsInThroughChromium()
    {
        QVERIFY2(!m_home->chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
        QVERIFY(m_home->useChromium(QStringLiteral("profile"), QStringLiteral("--ozone-platform=wayland")));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        QTemporaryDir folder;
        const QString dataFile = folder.filePath(QStringLiteral("Quillock.mdb"));
        createDatabaseFile(dataFile, newDataFileStatements() << QStringLiteral("UPDATE Setup SET DefaultToLauncher = 1")
                                                             << SignInWebsite::website(server.url()));
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
        QTRY_COMPARE_WITH_TIMEOUT(focusedWindow().pid, quillock.processId(), 20000);
        // The seat's keyboard comes with the first key, and the window hears of it a moment later: Down first, which
        // keeps the only website selected, then Enter on it.
        Keys::keySender().send(Keys::parseKeyString(U"{DOWN}"));
        QTest::qWait(1000);
        Keys::keySender().send(Keys::parseKeyString(U"{ENTER}")); // launches the selected website

        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 60000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
        const SwayWindow browser = focusedWindow();
        QVERIFY(browser.appId.contains(QStringLiteral("chromium"), Qt::CaseInsensitive));
        // It was started with the compositor's activation token, which lets a new program take the focus.
        QFile environment(QStringLiteral("/proc/%1/environ").arg(browser.pid));
        QVERIFY(environment.open(QIODevice::ReadOnly));
        const QList<QByteArray> variables = environment.readAll().split('\0');
        QVERIFY(std::any_of(variables.begin(), variables.end(), [](const QByteArray& variable) {
            return variable.startsWith("XDG_ACTIVATION_TOKEN=") && variable.size() > 21;
        }));
        QCOMPARE(quillock.state(), QProcess::Running);
        QCOMPARE(readAll(log("bystander.keys")), QString());
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 5 && std::strcmp(argv[1], WindowMode) == 0)
        return runWindow(argc, argv);
    return runOnSway<TestWaylandFocus>(argc, argv);
}

#include "tst_wayland_focus.moc"
