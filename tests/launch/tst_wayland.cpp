// On a Wayland compositor of the test's own (headless sway): the Wayland keystroke backend typing into real Qt
// line edits, the choice of key sender in a Wayland session, the real Quillock launching a website from its launcher
// into Debian's chromium running natively on Wayland, and the window focus that sway tells its clients, switched
// through sway's control socket (swaymsg) as when a program raises its window.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/DataFileSchema.h"
#include "os/focus/ForeignToplevelFocus.h"
#include "os/keys/KeySender.h"
#include "os/keys/KeyString.h"
#include "os/keys/WaylandKeySender.h"
#include "os/keys/X11KeySender.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "platform/keys/SendKeys.h"
#include "support/BrowserHome.h"
#include "support/GtkWitness.h"
#include "support/PageServer.h"
#include "support/SendBesideTheWindow.h"
#include "support/SignInWebsite.h"
#include "support/SwayTestMain.h"
#include "support/XvfbServer.h"
#include "system/launch/BrowserWindows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>
#include <optional>

namespace {

QString printableAlphabet()
{
    QString alphabet;
    const dsEncrypt cipher;
    for (QChar c : cipher.alphabet()) {
        if (c.isPrint())
            alphabet += c;
    }
    return alphabet;
}

const char* const WindowMode = "--window"; // then its title and its app id
const QString BystanderTitle = QStringLiteral("Quillock bystander");

// A window of another program, titled and named (its app id) as told.
int runWindow(int argc, char* argv[])
{
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[3]));
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    window.show();
    return QApplication::exec();
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

class TestWayland : public QObject
{
    Q_OBJECT

    QWidget m_window;
    QLineEdit* m_first = new QLineEdit(&m_window);
    QLineEdit* m_second = new QLineEdit(&m_window);
    QLineEdit* m_third = new QLineEdit(&m_window); // so that Tab and Shift+Tab from the second go different ways
    std::unique_ptr<Keys::WaylandKeySender> m_sender;
    std::optional<BrowserHome> m_home;
    QProcess m_bystander;

private slots:
    void initTestCase()
    {
        QUILLOCK_SKIP_WITHOUT_SWAY();
        // Quillock's windows give their desktop entry's id, as the program's do.
        QGuiApplication::setDesktopFileName(Application::desktopEntryId());
        m_home.emplace();
        auto* layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_first);
        layout->addWidget(m_second);
        layout->addWidget(m_third);
        m_window.show();
        // The compositor gives the window the keyboard focus itself, once there is a keyboard.
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void cleanupTestCase()
    {
        m_bystander.kill();
        m_bystander.waitForFinished();
        Keys::releasePlatformKeySender();
        Focus::releasePlatformWindowFocus();
    }

    void init()
    {
        m_first->clear();
        m_second->clear();
        m_first->setFocus();
        QTRY_VERIFY(m_first->hasFocus());
        m_sender = std::make_unique<Keys::WaylandKeySender>(); // a new virtual keyboard for each case
    }

    void typesIntoTheFocusedLineEdit_data()
    {
        QTest::addColumn<QStringList>("keyStrings");
        QTest::addColumn<QString>("first"); // the text each line edit ends with
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("focused"); // which line edit has the focus at the end, from 0

        QString alphabet = printableAlphabet();
        std::reverse(alphabet.begin(), alphabet.end());
        const auto row = [](const char* tag, const QStringList& keyStrings, const QString& first,
                            const char* second = "", int focused = 0) {
            QTest::newRow(tag) << keyStrings << first << QString(second) << focused;
        };
        row("the cipher's alphabet in one send: more characters than a keymap holds", {literalKeyString(alphabet)},
            alphabet);
        // Ending on a capital: no Shift may be left held after it.
        row("letters outside ASCII, and capitals with Shift",
            {QString::fromUtf8("éßø€中"), "b", "+a", QString::fromUtf8("+é")}, QString::fromUtf8("éßø€中bAÉ"));
        row("Tab moves to the next line edit, Shift+Tab back", {"a{TAB}b", "+{TAB}"}, "a", "b");
    }

    void typesIntoTheFocusedLineEdit()
    {
        QFETCH(QStringList, keyStrings);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, focused);

        sendBesideTheWindow(*m_sender, keyStrings);
        const QList<QLineEdit*> lineEdits{m_first, m_second, m_third};
        const auto arrived = [&] {
            return m_first->text() == first && m_second->text() == second && lineEdits[focused]->hasFocus();
        };
        static_cast<void>(QTest::qWaitFor(arrived, 5000));
        QCOMPARE(m_first->text(), first);
        QCOMPARE(m_second->text(), second);
        QCOMPARE(lineEdits.indexOf(m_window.focusWidget()), focused);
        QCOMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier); // none left held
    }

    // A window of another program and toolkit, whose entry takes each key more slowly the more it holds: a long text,
    // typed as a replay types it, arrives whole, where keys sent faster than the window takes them would have the
    // compositor disconnect it.
    void typesALongTextWholeIntoAGtkForm()
    {
        sendBesideTheWindow(
            *m_sender,
            {"{ESC}"}); // into the line edit, where it does nothing: the seat has a keyboard for the new window
        GtkWitness form;
        QVERIFY2(form.waitForFocus(20000), "the GTK window did not get the focus: is gir1.2-gtk-3.0 installed?");
        const QString text = printableAlphabet().repeated(8000).left(8000);
        sendBesideTheWindow(*m_sender, eachCharacterLiterally(
                                           text)); // as a replay types a text: the alphabet needs more than one keymap
        QString received;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                const std::optional<GtkWitness::State> state = form.state();
                received = state ? state->text : QStringLiteral("(the compositor disconnected the window)");
                return !state || received.size() == text.size();
            },
            20000));
        QCOMPARE(received, text);
    }

    // A compositor that goes away while the keyboard is kept: the next keys fail with a sentence, and later ones say
    // that the compositor cannot be reached.
    void saysWhenTheCompositorIsGone()
    {
        const QByteArray session = qgetenv("WAYLAND_DISPLAY");
        const auto restore = qScopeGuard([&] { qputenv("WAYLAND_DISPLAY", session); });
        auto other = std::make_unique<SwayServer>();
        QVERIFY(other->isRunning());
        qputenv("WAYLAND_DISPLAY", QByteArray::fromStdString(other->socket()));
        const std::vector<Keys::KeyStroke> key{{Keys::Key::Character, U'a', Keys::NoModifier}};
        Keys::WaylandKeySender sender;
        sender.send(key);
        other.reset();
        const auto failure = [&] {
            try {
                sender.send(key);
            } catch (const Keys::KeySendError& error) {
                return QString::fromUtf8(error.what());
            }
            return QString();
        };
        QCOMPARE(failure(), "Keystrokes cannot be sent: the connection to the Wayland compositor broke while typing.");
        QCOMPARE(failure(), "Keystrokes cannot be sent: the Wayland display \"" + qgetenv("WAYLAND_DISPLAY") +
                                "\" cannot be reached.");
    }

    // In a Wayland session the program types with the virtual keyboard, not with XTest, whose keys would reach
    // only the windows of X11 programs, even when an X display is at hand.
    void theWaylandSenderIsChosen()
    {
        XvfbServer x11;
        if (!x11.isRunning())
            QSKIP("Xvfb did not start: is the xvfb package installed?");
        const auto restore = qScopeGuard([] { qunsetenv("DISPLAY"); });
        qputenv("DISPLAY", QByteArray::fromStdString(x11.display()));

        QCOMPARE(QString::fromStdString(Keys::X11KeySender::unavailableReason()),
                 "this is a Wayland session, where XTest reaches only the windows of X11 programs");
        const std::unique_ptr<Keys::KeySender> chosen =
            Os::makeFirstAvailable<Keys::KeySendError>(Keys::keySenderBackends(), "cannot");
        QVERIFY(dynamic_cast<Keys::WaylandKeySender*>(chosen.get()));
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
    }

    // The active window and what it tells: Quillock's gives its desktop entry's id, which marks it as Quillock's;
    // a window that closed is gone. (Last: the bystander that it starts keeps the focus.)
    void tellsTheActiveWindow()
    {
        Focus::WindowFocus& focus = Focus::windowFocus();
        QVERIFY(dynamic_cast<Focus::ForeignToplevelFocus*>(&focus));
        QVERIFY(focus.canTell());
        m_bystander.start(QCoreApplication::applicationFilePath(), {WindowMode, BystanderTitle, "bystander"});
        QVERIFY(m_bystander.waitForStarted());
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

        // as when a program raises its window, waiting until sway has
        QCOMPARE(QProcess::execute("swaymsg", {"-q", "[title=\"^" + BystanderTitle + "$\"] focus"}), 0);
        QCOMPARE(activeAppId(), std::vector<std::string>{"bystander"}); // at once: the question reads sway's news
        QVERIFY(focus.exists(ownWindow));
        own.reset();
        QTRY_VERIFY(!focus.exists(ownWindow));
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], WindowMode) == 0)
        return runWindow(argc, argv);
    return runOnSway<TestWayland>(argc, argv);
}

#include "tst_wayland.moc"
