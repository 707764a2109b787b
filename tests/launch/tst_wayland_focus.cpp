// On a Wayland compositor of the test's own (headless sway), which tells its clients which toplevel window is active:
// the window focus it gives, and launches whose keys must reach only the browser window they opened. The "browser"
// is this test started again as the desktop's application for web pages, a window that logs its keys and gives the
// id of its desktop entry as its app id; a bystander window, of another copy, logs the keys it receives. Windows are
// made active through sway's control socket (swaymsg), as when a program raises its window.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "os/focus/ForeignToplevelFocus.h"
#include "os/keys/KeySender.h"
#include "os/keys/WaylandKeySender.h"
#include "os/shell/Shell.h"
#include "platform/app/Application.h"
#include "support/BrowserHome.h"
#include "support/ScriptedDialogs.h"
#include "support/SwayTestMain.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/launch/BrowserWindows.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"

#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstring>

namespace {

const char* const WindowMode = "--window";                            // then its key log, its title and its app id
const QString BrowserAppId = QStringLiteral("quillock-test-browser"); // the id of BrowserHome's entry
const QString BystanderTitle = QStringLiteral("Quillock bystander");
const QString Secret = QStringLiteral("correct horse battery staple, twice over");
constexpr int TextStep = 1, WaitStep = 4;
constexpr int KeysBeforeTheSwitch = 10; // of the secret's, where a row switches between two keys

// A window that appends the text of every key it receives to its log at once.
struct LoggingWindow : QWidget
{
    explicit LoggingWindow(const QString& log) : logPath(log) { setFocusPolicy(Qt::StrongFocus); }
    void keyPressEvent(QKeyEvent* event) override
    {
        QFile log(logPath);
        if (log.open(QIODevice::Append))
            log.write(event->text().toUtf8());
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to log

    QString logPath;
};

int runWindow(int argc, char* argv[])
{
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[4]));
    QApplication app(argc, argv);
    LoggingWindow window(QString::fromLocal8Bit(argv[2]));
    window.setWindowTitle(QString::fromLocal8Bit(argv[3]));
    window.show();
    return QApplication::exec();
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Has sway carry out a command (a criteria and what to do), waiting until it has.
bool swaymsg(const QString& command)
{
    return QProcess::execute(QStringLiteral("swaymsg"), {QStringLiteral("-q"), command}) == 0;
}

// The compositor's key sender, which calls back after every send.
class WatchedKeySender : public Keys::KeySender
{
public:
    WatchedKeySender() { Keys::setKeySender(this); }
    ~WatchedKeySender() override { Keys::setKeySender(nullptr); }
    WatchedKeySender(const WatchedKeySender&) = delete;
    WatchedKeySender& operator=(const WatchedKeySender&) = delete;

    void send(const std::vector<Keys::KeyStroke>& strokes) override
    {
        m_keys.send(strokes);
        if (afterSend)
            afterSend(++m_sends);
    }

    std::function<void(int)> afterSend; // given how many sends went

private:
    Keys::WaylandKeySender m_keys;
    int m_sends = 0;
};

// The program's window, from which a launch starts; its wait timer ticks as the program's does.
struct ProgramWindow
{
    ProgramWindow()
    {
        window->show();
        QObject::connect(tmrWait, &QTimer::timeout, tmrWait, [timer = tmrWait] { tmrWait_Timer(*timer); });
    }
    ~ProgramWindow() { delete window; }

    QPointer<QWidget> window = new QWidget;
    QTimer* tmrWait = new QTimer(window);
};

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
        gobjEncrypt = std::make_unique<dsEncrypt>();
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
        Desktop::releasePlatformShell();
        Focus::releasePlatformWindowFocus();
        gobjEncrypt.reset();
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

    // Launched from the program's window; the steps "Text user, Wait, Text secret": the first key waits for the
    // browser's window, the wait for what the row does meanwhile.
    void typesOnlyIntoTheBrowserWindow_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("browserGot");
        QTest::addColumn<QString>("message");
        QTest::newRow("a browser that takes the focus") << ""
                                                        << "user" + Secret << "";
        QTest::newRow("the bystander takes the focus in the wait")
            << "bystander in the wait"
            << "user"
            << "The browser window lost the focus; the launch was stopped after step 1.";
        QTest::newRow("the bystander takes the focus between two keys of the secret")
            << "bystander in the text"
            << "user" + Secret.left(KeysBeforeTheSwitch)
            << "The browser window lost the focus; the launch was stopped during step 3.";
        QTest::newRow("the browser closes in the wait")
            << "browser closes"
            << "user"
            << "The browser closed during the launch; the launch was stopped after step 1.";
    }

    void typesOnlyIntoTheBrowserWindow()
    {
        QFETCH(QString, meanwhile);
        const QString browserLog = log("browser.keys");
        QFile::remove(browserLog);
        QVERIFY(m_home->useBrowser('"' + QCoreApplication::applicationFilePath() + "\" " + WindowMode + " \"" +
                                   browserLog + "\" Browser " + BrowserAppId + " %u"));
        const TempDataFolder folder;
        folder.execute({"INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink) VALUES (1, Null, Null)",
                        QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                       "TextToTypeIn) VALUES (1, %1, Null, '%2'), (1, %3, 70, Null), "
                                       "(1, %1, Null, '%4')")
                            .arg(TextStep)
                            .arg(FixQuotes(gobjEncrypt->Encrypt2("user")))
                            .arg(WaitStep)
                            .arg(FixQuotes(gobjEncrypt->Encrypt2(Secret)))});
        ScriptedDialogs dialogs;
        ProgramWindow program;
        QTRY_VERIFY(program.window->isActiveWindow()); // sway gives a new window the focus

        WatchedKeySender keys;
        keys.afterSend = [&](int sent) {
            // once the keys sent so far have arrived
            if (meanwhile == "bystander in the text" && sent == 4 + KeysBeforeTheSwitch &&
                QTest::qWaitFor([&] { return readAll(browserLog).size() == sent; }))
                swaymsg("[title=\"^" + BystanderTitle + "$\"] focus");
        };
        // Does what the row does in the wait, then lets the launch see it; a wait that the launch should have ended
        // ends after ten seconds, so that the keys tell what went wrong.
        QElapsedTimer waited;
        const QPointer<QTimer> timer(program.tmrWait);
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            if (!timer || !timer->isActive())
                return;
            if (waited.isValid()) {
                if (waited.elapsed() > 10000)
                    tmrWait_Timer(*timer);
                return;
            }
            waited.start();
            if (meanwhile == "bystander in the wait")
                swaymsg("[title=\"^" + BystanderTitle + "$\"] focus");
            else if (meanwhile == "browser closes")
                swaymsg("[app_id=\"^" + BrowserAppId + "$\"] kill");
            else
                tmrWait_Timer(*timer);
        });
        driver.start(50);
        ReplayWebsite(*program.tmrWait, QStringLiteral("1"), QStringLiteral("https://x.test/"), program.window);
        driver.stop();

        QFETCH(QString, message);
        QCOMPARE(dialogs.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QFETCH(QString, browserGot);
        QTRY_COMPARE(readAll(browserLog), browserGot);
        QTest::qWait(300); // for keys that should not come
        QCOMPARE(readAll(browserLog), browserGot);
        QCOMPARE(readAll(log("bystander.keys")), QString());
    }

    void cleanup()
    {
        // Until no browser window is left: sway refuses a command that matches no window.
        QTRY_VERIFY(!swaymsg("[app_id=\"^" + BrowserAppId + "$\"] kill"));
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 5 && std::strcmp(argv[1], WindowMode) == 0)
        return runWindow(argc, argv);
    return runOnSway<TestWaylandFocus>(argc, argv);
}

#include "tst_wayland_focus.moc"
