// The program's main act against a real browser: a website of the data file is launched from the main
// window, its link opens in Debian's chromium (the default application for web pages in a temporary
// home, under openbox on a display of the test's own), and the replayed keystrokes sign in to a page
// that the test serves.

#include "X11Witness.h"
#include "crypto/dsEncrypt.h"
#include "data/StatementText.h"
#include "platform/keys/X11KeySender.h"
#include "platform/shell/XdgShell.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "support/XvfbTestMain.h"
#include "ui/main/frmWebsite.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <csignal>
#include <optional>
#include <unistd.h>

namespace {

const QString UserName = QStringLiteral("quillock.user@example.test");
// Quotes and every character the key-string syntax reserves.
const QString Password = QStringLiteral("p'a\"s+s^%~(){}[]w");

const QByteArray LoginPage = R"(<!DOCTYPE html><meta charset="utf-8"><title>Sign in</title>
<form action="/login"><input id="username" name="username" autofocus autocomplete="off">
<input name="password" type="password" autocomplete="off"><button>Sign in</button></form>
<script>document.getElementById("username").focus();</script>)";

// A website's sign-in page on 127.0.0.1: GET / gives the form, whose user name field has the focus as
// soon as the page loads; the browser sends it back as GET /login?username=...&password=...
class LoginServer
{
public:
    LoginServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QString pageLink() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }

    QUrlQuery form; // the form last sent, empty before any
    int pageLoads = 0;

private:
    void answer(QTcpSocket* socket)
    {
        // A GET request has no body: it is complete with its headers.
        if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
            return;
        const QList<QByteArray> target = socket->readAll().split(' ').value(1).split('?');
        QByteArray page = "<!DOCTYPE html><title>Signed in</title>"; // also for the icon the browser asks for
        if (target.front() == "/") {
            ++pageLoads;
            page = LoginPage;
        } else if (target.front() == "/login") {
            // In a form's query '+' stands for a blank.
            form.setQuery(QString::fromLatin1(target.value(1)).replace(QLatin1Char('+'), QStringLiteral("%20")));
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                      "Content-Length: " +
                      QByteArray::number(page.size()) + "\r\n\r\n" + page);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
};

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

// The website's sign-in steps: wait 3 s for the page (keys typed before it takes them are lost), the user
// name in the field that has the focus, Tab to the password, the password, Enter. The event types are
// 1 Text, 2 Enter, 3 Tab and 4 Wait.
void seedSignIn(const TempDataFolder& folder, const QString& link)
{
    seedWebsites(folder.dataFilePath(), {{QStringLiteral("Test site"), link, 1}});
    dsEncrypt cipher;
    auto text = [&cipher](const QString& plain) {
        return QLatin1Char('\'') + FixQuotes(cipher.Encrypt2(plain)) + QLatin1Char('\'');
    };
    folder.execute(
        {QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) "
                        "VALUES (1, 4, 3, Null), (1, 1, Null, %1), (1, 3, Null, Null), (1, 1, Null, %2), "
                        "(1, 2, Null, Null)")
             .arg(text(UserName), text(Password))});
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
    QString m_chromium;
    QTemporaryDir m_home;
    std::optional<Openbox> m_windowManager;
    pid_t m_browser = 0;
};

void TestBrowserLogin::initTestCase()
{
    QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
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

// In the test's home the browser for web pages is chromium with a new profile for each test. As root it
// must run without its sandbox.
void TestBrowserLogin::init()
{
    const QString profile = m_home.filePath(QStringLiteral("profile-%1").arg(QTest::currentDataTag()));
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

// Ends the browser the test started, with its helper processes: they are a process group of their own,
// the one of the session the browser was started in.
void TestBrowserLogin::cleanup()
{
    if (m_browser <= 1)
        return;
    const pid_t group = getpgid(m_browser);
    if (group > 1 && group != getpgid(0))
        kill(-group, SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!processRuns(m_browser), 10000);
    m_browser = 0;
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
        auto* names = window.findChild<QListWidget*>(QStringLiteral("lstWebsites"));
        names->setCurrentRow(0);
        QTest::keyClick(names, Qt::Key_Return);
    } else {
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
    }
    Keys::setKeySender(nullptr);
    Desktop::setShell(nullptr);
    QCOMPARE(dialogs.messageTexts(), QStringList());

    X11Probe probe;
    std::optional<xcb_window_t> browser;
    QTRY_VERIFY_WITH_TIMEOUT((browser = probe.findWindow(QStringLiteral("Chromium"))).has_value(), 20000);
    m_browser = probe.process(*browser);
    QTRY_VERIFY_WITH_TIMEOUT(!server.form.isEmpty(), 20000);
    QCOMPARE(server.form.queryItemValue(QStringLiteral("username"), QUrl::FullyDecoded), UserName);
    QCOMPARE(server.form.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded), Password);
    QCOMPARE(server.pageLoads, 1);
    QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*browser), 5000);
}

QUILLOCK_XVFB_TEST_MAIN(TestBrowserLogin)

#include "tst_browser_login.moc"
