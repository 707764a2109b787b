// On a Wayland compositor of the test's own (headless sway), which tells its clients which toplevel window is active:
// the window focus it gives, and launches whose keys must reach only the browser window they opened. The "browser"
// is this test started again as the desktop's application for web pages, a window that logs its keys and gives the
// id of its desktop entry as its app id; a bystander window, of another copy, logs the keys it receives. Windows are
// made active through sway's control socket (swaymsg), as when a program raises its window.

#include "LaunchWindows.h"
#include "os/focus/ForeignToplevelFocus.h"
#include "os/keys/WaylandKeySender.h"
#include "os/shell/Shell.h"
#include "platform/app/Application.h"
#include "support/BrowserHome.h"
#include "support/ScriptedDialogs.h"
#include "support/SwayTestMain.h"
#include "system/app/basModule1.h"
#include "system/launch/BrowserWindows.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

namespace {

const char* const WindowMode = "--window";                            // then its key log, its title and its app id
const QString BrowserAppId = QStringLiteral("quillock-test-browser"); // the id of BrowserHome's entry
const QString BystanderTitle = QStringLiteral("Quillock bystander");
const QString Secret = QStringLiteral("correct horse battery staple, twice over");
constexpr int KeysBeforeTheSwitch = 10; // of the secret's, where a row switches between two keys

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
        const QString lost = QStringLiteral("The browser window lost the focus; the launch was stopped ");
        QTest::newRow("a browser that takes the focus") << ""
                                                        << "user" + Secret << "";
        QTest::newRow("the bystander takes the focus in the wait") << "bystander in the wait"
                                                                   << "user" << lost + "after step 1.";
        QTest::newRow("the bystander takes the focus between two keys of the secret")
            << "bystander in the text"
            << "user" + Secret.left(KeysBeforeTheSwitch) << lost + "during step 3.";
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
        storeWebsite(folder, {{TextStep, "Null", "user"}, {WaitStep, "70", {}}, {TextStep, "Null", Secret}});
        ScriptedDialogs dialogs;
        ProgramWindow program;
        QTRY_VERIFY(program.window->isActiveWindow()); // sway gives a new window the focus

        WatchedKeySender<Keys::WaylandKeySender> keys;
        keys.afterSend = [&](std::size_t sent) {
            // once the keys sent so far have arrived
            if (meanwhile == "bystander in the text" && sent == 4 + KeysBeforeTheSwitch &&
                QTest::qWaitFor([&] { return std::size_t(readAll(browserLog).size()) == sent; }))
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
        program.launch();
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
