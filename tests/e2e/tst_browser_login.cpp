// The program's main act, as a new user does it: on a new data file, the website, its steps and the settings are
// made through the editors and the website is launched from the main window; its link opens in Debian's chromium
// (under openbox on a display of the test's own), and the replayed keystrokes sign in to the test's page. The same
// from a data file whose stored texts are protected under the master password.

#include "../ui/WebsiteWindowFixture.h"
#include "X11Witness.h"
#include "domain/crypto/StoredMasterPassword.h"
#include "domain/data/StatementText.h"
#include "os/keys/X11KeySender.h"
#include "os/shell/XdgShell.h"
#include "platform/grid/FlexGrid.h"
#include "platform/keys/SendKeys.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/ScriptedDialogs.h"
#include "support/SignInWebsite.h"
#include "support/TempDataFolder.h"
#include "support/XvfbTestMain.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StoredTexts.h"
#include "ui/main/frmWebsite.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <optional>

namespace {

void press(QWidget& window, const char* button)
{
    QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

// Runs the answer on the modal window that the next command opens.
constexpr auto whenOpen = &WebsiteWindowFixture::answerNextWindow;

// Fills the instruction editor and presses OK.
std::function<void(QDialog&)> step(const QString& eventType, const QString& count, const QString& text = {})
{
    return [=](QDialog& editor) {
        auto& type = field<QComboBox>(editor, "Event Type");
        type.setCurrentIndex(type.findText(eventType));
        auto& number = field<QLineEdit>(editor, "Number Of Times");
        number.clear(); // a new step shows none, the first one its ten seconds
        QTest::keyClicks(&number, count);
        QTest::keyClicks(&field<QLineEdit>(editor, "Text To Type In"), text);
        press(editor, "cmdOK");
    };
}

} // namespace

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

    // Ends the browser the row started, by its profile, with its helpers.
    void cleanup()
    {
        m_home->endChromium(QString::fromLatin1(QTest::currentDataTag()));
        QTRY_VERIFY_WITH_TIMEOUT(!X11Probe().findWindow("Chromium"), 10000);
    }

    void signsInThroughTheBrowser_data()
    {
        QTest::addColumn<bool>("launcherMode");
        QTest::addColumn<bool>("protectedFile");
        QTest::newRow("Launch button") << false << false;
        QTest::newRow("Enter on a name in launcher mode") << true << false;
        QTest::newRow("protected data file") << false << true;
    }

    void signsInThroughTheBrowser()
    {
        QFETCH(bool, launcherMode);
        QFETCH(bool, protectedFile);
        // The only application for web pages: chromium with a new profile for each row.
        QVERIFY(m_home->useChromium(QString::fromLatin1(QTest::currentDataTag())));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        const TempDataFolder folder;

        // The real backends, owned here so that they end before the display does.
        Keys::X11KeySender keys;
        Keys::setKeySender(&keys);
        Desktop::XdgShell shell;
        Desktop::setShell(&shell);
        ScriptedDialogs dialogs;
        if (protectedFile) {
            folder.execute({"UPDATE Setup SET MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf("m"))});
            ProtectStoredTexts(QStringLiteral("m"), KeyDerivation::fresh(1, 8192));
            useFieldCipher(); // as a program that starts on the file
            dialogs.answers = QStringList{"m"};
        }
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The website and its steps, the first (a ten-second wait) shortened to 3 s for the page to load: keys typed
        // before it takes them are lost.
        whenOpen([&server](QDialog& editor) {
            // typed on the real keyboard of the display, into the box the editor gives the focus; checked in the list
            auto& name = field<QLineEdit>(editor, "Website Name");
            editor.activateWindow();
            static_cast<void>(QTest::qWaitFor([&name] { return name.hasFocus(); }, 10000));
            sendKeys(QStringLiteral("Test site"));
            static_cast<void>(QTest::qWaitFor([&name] { return name.text() == QLatin1String("Test site"); }, 10000));
            QTest::keyClicks(&field<QLineEdit>(editor, "Website Link"), server.url());
            press(editor, "cmdOK");
        });
        press(window, "cmdAdd");
        whenOpen([](QDialog& list) {
            auto* grid = list.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
            grid->setRow(1);
            whenOpen(step("Wait", "3"));
            emit grid->dblClick();
            for (const auto& answer : {step("Text", "", SignInWebsite::UserName), step("Tab", "1"),
                                       step("Text", "", SignInWebsite::Password), step("Enter", "")}) {
                whenOpen(answer);
                press(list, "cmdAdd");
            }
            press(list, "cmdClose");
        });
        press(window, "cmdEnterInstructions");
        QCOMPARE(window.GridTextMatrix(1, 1), QStringLiteral("Test site"));
        const QString text = protectedFile ? QStringLiteral("protected") : QStringLiteral("field cipher");
        const QStringList steps{"4 3 -", "1 - " + text, "3 1 -", "1 - " + text, "2 - -"};
        QCOMPARE(folder.column("SELECT EventTypeID || ' ' || ifnull(NumberOfTimes, '-') || ' ' || CASE WHEN "
                               "TextToTypeIn IS NULL THEN '-' WHEN TextToTypeIn LIKE 'qp1:%' THEN 'protected' ELSE "
                               "'field cipher' END FROM WebsiteInstructions"),
                 steps);
        if (launcherMode) {
            whenOpen([](QDialog& setup) {
                setup.findChild<QCheckBox*>(QStringLiteral("chkDefaultToLauncher"))->setChecked(true);
                press(setup, "cmdOK");
            });
            press(window, "cmdSetup");
            press(window, "cmdClose"); // to launcher mode
            auto* names = window.findChild<QListWidget*>(QStringLiteral("lstWebsites"));
            names->setCurrentRow(0);
            QTest::keyClick(names, Qt::Key_Return);
        } else {
            press(window, "cmdLaunch");
        }
        Keys::setKeySender(nullptr);
        Desktop::setShell(nullptr);
        QCOMPARE(dialogs.messageTexts(), QStringList());
        QCOMPARE(dialogs.prompts.size(), protectedFile ? 1 : 0);

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
