// The program's main act against a real browser: a website of the data file is launched from the main
// window, its link opens in Debian's chromium (the default application for web pages in a temporary
// home, under openbox on a display of the test's own), and the replayed keystrokes sign in to a page
// that the test serves.

#include "LoginServer.h"
#include "Openbox.h"
#include "X11Probe.h"
#include "crypto/dsEncrypt.h"
#include "data/StatementText.h"
#include "platform/keys/X11KeySender.h"
#include "platform/shell/XdgShell.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "support/XvfbServer.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const QString UserName = QStringLiteral("quillock.user@example.test");
// Quotes and every character the key-string syntax reserves.
const QString Password = QStringLiteral("p'a\"s+s^%~(){}[]w");

constexpr int Text = 1;
constexpr int Enter = 2;
constexpr int Tab = 3;
constexpr int Wait = 4;

bool writeFile(const QString& path, const QString& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents.toUtf8()) >= 0;
}

bool processRuns(pid_t process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return !line.mid(line.lastIndexOf(')') + 2).startsWith('Z'); // a zombie has ended already
}

// The website's sign-in steps: wait for the page (keys typed before it takes them are lost), the user
// name in the field that has the focus, Tab to the password, the password, Enter.
void seedSignIn(const TempDataFolder& folder, const QString& link)
{
    seedWebsites(folder.dataFilePath(), {{QStringLiteral("Test site"), link, 1}});
    dsEncrypt cipher;
    auto text = [&cipher](const QString& plain) {
        return QLatin1Char('\'') + FixQuotes(cipher.Encrypt2(plain)) + QLatin1Char('\'');
    };
    const QString step = QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                        "TextToTypeIn) VALUES (1, %1, %2, %3)");
    folder.execute({step.arg(Wait).arg(3).arg("Null"), step.arg(Text).arg("Null", text(UserName)),
                    step.arg(Tab).arg("Null", "Null"), step.arg(Text).arg("Null", text(Password)),
                    step.arg(Enter).arg("Null", "Null")});
}

} // namespace

class TestBrowserLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void signsInThroughTheBrowser_data();
    void signsInThroughTheBrowser();

private:
    void makeChromiumTheDefaultBrowser(const QString& profile);
    void endBrowser();

    QString m_chromium;
    QTemporaryDir m_home;
    pid_t m_browser = 0;
};

void TestBrowserLogin::initTestCase()
{
    m_chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    QVERIFY2(!m_chromium.isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
    QVERIFY(m_home.isValid());
    const QString home = m_home.path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (home + "/no-system-config").toUtf8());
    qputenv("XDG_DATA_DIRS", (home + "/no-system-data").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
}

void TestBrowserLogin::init()
{
    makeChromiumTheDefaultBrowser(m_home.filePath(QStringLiteral("profile-%1").arg(QTest::currentDataTag())));
}

void TestBrowserLogin::cleanup()
{
    endBrowser();
}

// In the test's home the browser for web pages is chromium with a throwaway profile. As root it must run
// without its sandbox.
void TestBrowserLogin::makeChromiumTheDefaultBrowser(const QString& profile)
{
    const QString exec = QStringLiteral("\"%1\" --no-sandbox --no-first-run --no-default-browser-check "
                                        "--disable-background-networking --disable-component-update --disable-sync "
                                        "--disable-gpu --disable-dev-shm-usage --disable-breakpad "
                                        "--password-store=basic \"--user-data-dir=%2\" %U")
                             .arg(m_chromium, profile);
    QVERIFY(writeFile(m_home.filePath(".local/share/applications/quillock-test-chromium.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Chromium for the test\nExec=" + exec +
                          "\nMimeType=text/html;\n"));
    QVERIFY(writeFile(m_home.filePath(".config/mimeapps.list"),
                      "[Default Applications]\ntext/html=quillock-test-chromium.desktop\n"));
}

void TestBrowserLogin::signsInThroughTheBrowser_data()
{
    QTest::addColumn<bool>("launcherMode");
    QTest::newRow("Launch button") << false;
    QTest::newRow("Enter on a name in launcher mode") << true;
}

void TestBrowserLogin::signsInThroughTheBrowser()
{
    QFETCH(bool, launcherMode);
    LoginServer server;
    QVERIFY(server.isListening());
    const TempDataFolder folder;
    seedSignIn(folder, server.pageLink());
    folder.execute(
        {QStringLiteral("UPDATE Setup SET DefaultToLauncher = %1 WHERE SetupID = 1").arg(launcherMode ? 1 : 0)});

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
    if (launcherMode) {
        window.lstWebsites->setCurrentRow(0);
        QTest::keyClick(window.lstWebsites, Qt::Key_Return);
    } else {
        QTest::mouseClick(window.cmdLaunch, Qt::LeftButton);
    }
    Keys::setKeySender(nullptr);
    Desktop::setShell(nullptr);
    QCOMPARE(dialogs.messageTexts(), QStringList());

    X11Probe probe;
    std::optional<xcb_window_t> browser;
    QTRY_VERIFY_WITH_TIMEOUT((browser = probe.findWindow(QStringLiteral("Chromium"))).has_value(), 20000);
    m_browser = probe.process(*browser);
    QTRY_VERIFY_WITH_TIMEOUT(!server.received.isEmpty(), 20000);
    QCOMPARE(server.received.value(QStringLiteral("username")), UserName);
    QCOMPARE(server.received.value(QStringLiteral("password")), Password);
    QCOMPARE(server.pageLoads, 1);
    QTRY_VERIFY_WITH_TIMEOUT(probe.states(*browser).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")) &&
                                 probe.states(*browser).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")),
                             5000);
}

// Ends the browser the test started, with its helper processes: they are a process group of their own,
// the one of the session the browser was started in.
void TestBrowserLogin::endBrowser()
{
    if (m_browser <= 1)
        return;
    const pid_t group = getpgid(m_browser);
    if (group > 1 && group != getpgid(0))
        kill(-group, SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!processRuns(m_browser), 10000);
    m_browser = 0;
}

int main(int argc, char* argv[])
{
    XvfbServer display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start: is the xvfb package installed?\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    const Openbox windowManager(display.display());
    if (!windowManager.isRunning()) {
        std::fprintf(stderr, "openbox did not start: is the openbox package installed?\n");
        return 1;
    }
    QApplication app(argc, argv);
    TestBrowserLogin test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser_login.moc"
