// The program's main act against a real browser, as a new user does it: on a new data file, the website and
// its steps are made through the editors, the settings through the setup editor, and the website is launched
// from the main window; its link opens in Debian's chromium (the only application for web pages in a
// temporary home, under openbox on a display of the test's own), and the replayed keystrokes sign in to a
// page that the test serves.

#include "X11Witness.h"
#include "platform/grid/FlexGrid.h"
#include "platform/keys/SendKeys.h"
#include "platform/keys/X11KeySender.h"
#include "platform/shell/XdgShell.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "support/XvfbTestMain.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <optional>

namespace {

const QString UserName = QStringLiteral("quillock.user@example.test");
// Quotes and every character the key-string syntax reserves.
const QString Password = QStringLiteral("p'a\"s+s^%~(){}[]w");

// An input as a person finds it: by its label.
template <class Input>
Input& field(QWidget& window, const QString& label)
{
    for (Input* input : window.findChildren<Input*>()) {
        if (input->accessibleName() == label)
            return *input;
    }
    throw std::runtime_error("no field " + label.toStdString());
}

void press(QWidget& window, const char* button)
{
    QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

// Runs the answer on the modal window that the next command opens.
void whenOpen(const std::function<void(QWidget&)>& answer)
{
    QTimer::singleShot(0, [answer] { answer(*QApplication::activeModalWidget()); });
}

// Fills the instruction editor and presses OK.
std::function<void(QWidget&)> step(const QString& eventType, const QString& count, const QString& text = {})
{
    return [=](QWidget& editor) {
        auto& type = field<QComboBox>(editor, "Event Type");
        type.setCurrentIndex(type.findText(eventType));
        QTest::keyClicks(&field<QLineEdit>(editor, "Number Of Times"), count);
        QTest::keyClicks(&field<QLineEdit>(editor, "Text To Type In"), text);
        press(editor, "cmdOK");
    };
}

// The website, its steps (the first, a ten-second wait, shortened to 3 s for the page to load; keys typed
// before it takes them are lost) and, for launcher mode, the setting: all through the windows.
void enterWebsiteThroughTheWindows(frmWebsite& window, const QString& link, bool launcherMode)
{
    whenOpen([&](QWidget& editor) {
        // The name is typed on the real keyboard of the display, into the box the editor gives the focus.
        auto& name = field<QLineEdit>(editor, "Website Name");
        // (What arrives is checked in the list once the editor has closed.)
        editor.activateWindow();
        static_cast<void>(QTest::qWaitFor([&name] { return name.hasFocus(); }, 10000));
        sendKeys(QStringLiteral("Test site"));
        static_cast<void>(QTest::qWaitFor([&name] { return name.text() == QLatin1String("Test site"); }, 10000));
        QTest::keyClicks(&field<QLineEdit>(editor, "Website Link"), link);
        press(editor, "cmdOK");
    });
    press(window, "cmdAdd");
    whenOpen([](QWidget& list) {
        auto* grid = list.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
        grid->setRow(1);
        whenOpen([](QWidget& editor) {
            field<QLineEdit>(editor, "Number Of Times").clear();
            step("Wait", "3")(editor);
        });
        emit grid->dblClick();
        for (const auto& [type, count, text] : {std::tuple{"Text", "", UserName}, std::tuple{"Tab", "1", QString()},
                                                std::tuple{"Text", "", Password}, std::tuple{"Enter", "", QString()}}) {
            whenOpen(step(type, count, text));
            press(list, "cmdAdd");
        }
        press(list, "cmdClose");
    });
    press(window, "cmdEnterInstructions");
    if (!launcherMode)
        return;
    whenOpen([](QWidget& setup) {
        setup.findChild<QCheckBox*>(QStringLiteral("chkDefaultToLauncher"))->setChecked(true);
        press(setup, "cmdOK");
    });
    press(window, "cmdSetup");
    press(window, "cmdClose"); // to launcher mode
}

// A website's sign-in page: its user name field has the focus as soon as it loads; the browser sends the form
// back as GET /login?username=...&password=...
const QByteArray SignInPage = R"(<!DOCTYPE html><meta charset="utf-8"><title>Sign in</title>
<form action="/login"><input id="username" name="username" autofocus autocomplete="off">
<input name="password" type="password" autocomplete="off"><button>Sign in</button></form>
<script>document.getElementById("username").focus();</script>)";

} // namespace

class TestBrowserLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void signsInThroughTheBrowser_data();
    void signsInThroughTheBrowser();

private:
    std::optional<BrowserHome> m_home;
    std::optional<Openbox> m_windowManager;
    pid_t m_browser = 0;
};

void TestBrowserLogin::initTestCase()
{
    QVERIFY2(m_windowManager.emplace().isRunning(), "openbox did not start: is the openbox package installed?");
    QVERIFY2(!m_home.emplace().chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
}

// Ends the browser the test started, with its helper processes: they are a process group of their own,
// the one of the session the browser was started in.
void TestBrowserLogin::cleanup()
{
    BrowserHome::endBrowser(m_browser);
    m_browser = 0;
    QTRY_VERIFY_WITH_TIMEOUT(!X11Probe().findWindow("Chromium"), 10000);
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
    // The only application for web pages: chromium with a new profile for each row.
    QVERIFY(m_home->useChromium(QString::fromLatin1(QTest::currentDataTag())));
    PageServer server(SignInPage);
    QVERIFY(server.isListening());
    const TempDataFolder folder;

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
    enterWebsiteThroughTheWindows(window, server.url(), launcherMode);
    QCOMPARE(dialogs.messageTexts(), QStringList());
    QCOMPARE(window.GridTextMatrix(1, 1), QStringLiteral("Test site"));
    QCOMPARE(folder.column("SELECT EventTypeID || ' ' || ifnull(NumberOfTimes, '-') FROM WebsiteInstructions"),
             (QStringList{"4 3", "1 -", "3 1", "1 -", "2 -"}));
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
    QTRY_VERIFY_WITH_TIMEOUT((browser = probe.findWindow("Chromium")).has_value(), 20000);
    m_browser = probe.process(*browser);
    QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 20000);
    QCOMPARE(server.path, QStringLiteral("/login"));
    QCOMPARE(server.value(QStringLiteral("username")), UserName);
    QCOMPARE(server.value(QStringLiteral("password")), Password);
    QCOMPARE(server.pageLoads, 1);
    QTRY_VERIFY_WITH_TIMEOUT(probe.isMaximized(*browser), 5000);
}

QUILLOCK_XVFB_TEST_MAIN(TestBrowserLogin)

#include "tst_browser_login.moc"
