// On a headless desktop of the test's own with the desktop portal, GNOME (mutter) or with QUILLOCK_PORTAL_DESKTOP=KDE
// KDE Plasma (KWin): the portal's key sender typing into a real Qt window on Wayland once the desktop's dialog is
// answered through the accessibility bus, refusing to type when the dialog is refused, and telling beforehand of
// characters that the keyboard layout lacks or holds beyond the reach of the portal; and the program's main act, the
// main window launching a website into Debian's chromium running natively on Wayland, whose sign-in page receives
// exactly the user name and the password. The program runs as the desktop's menu starts it (KDE asks consent only of
// programs with an application ID), but where it shows a start from a terminal.

#include "domain/crypto/dsEncrypt.h"
#include "os/keys/PortalKeySender.h"
#include "support/BrowserHome.h"
#include "support/PageServer.h"
#include "support/PortalDesktopTestMain.h"
#include "support/ScriptedDialogs.h"
#include "support/SendBesideTheWindow.h"
#include "support/SignInWebsite.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <optional>
#include <systemd/sd-bus.h>

using Keys::KeyStroke;

namespace {

// A line edit that writes down the keys it receives: the text they type (\r for Enter, \t for Tab) and +{TAB}
// for Shift+Tab.
struct RecordingLineEdit : QLineEdit
{
    QString transcript;

    void keyPressEvent(QKeyEvent* event) override
    {
        transcript += event->key() == Qt::Key_Backtab ? QStringLiteral("+{TAB}") : event->text();
        QLineEdit::keyPressEvent(event);
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to record, not a move of the focus
};

std::vector<KeyStroke> strokesOf(const QString& text)
{
    std::vector<KeyStroke> strokes;
    for (const char32_t c : text.toUcs4())
        strokes.push_back({Keys::Key::Character, c, Keys::NoModifier});
    return strokes;
}

} // namespace

class TestPortal : public QObject
{
    Q_OBJECT

public:
    TestPortal(PortalDesktop* desktop, QString missing) : m_desktop(desktop), m_missing(std::move(missing)) {}

private:
    PortalDesktop* m_desktop;
    QString m_missing;
    std::unique_ptr<Keys::PortalKeySender> m_sender; // prepared once, for the tests that type
    RecordingLineEdit m_window;
    QStringList m_kept; // the permissions handed to keepPermission
    std::optional<BrowserHome> m_home;

    bool isKde() const { return m_desktop->kind() == PortalDesktop::Kind::Kde; }

    // Answers the desktop's next dialog as a user would: allows it, or as the options say (--refuse, --shown ...).
    static void runDialogScript(QProcess& script, const QStringList& options = {})
    {
        script.setProcessChannelMode(QProcess::ForwardedChannels);
        script.start(QStringLiteral("/usr/bin/python3"),
                     QStringList{QStringLiteral(QUILLOCK_APPROVE_SCRIPT)} + options);
    }

    // Whether the dialog was answered: the answerer ended well (perhaps while the event loop ran).
    static bool answered(QProcess& answerer)
    {
        return (answerer.state() == QProcess::NotRunning || answerer.waitForFinished(30000)) &&
               answerer.exitStatus() == QProcess::NormalExit && answerer.exitCode() == 0;
    }

    // Runs the event loop while the desktop waits for an answer; gives up when no answer came in time, so that a
    // dialog left unanswered fails the test instead of holding it.
    Keys::Preparation preparation(const QString& saved = {})
    {
        auto waited = std::make_shared<QElapsedTimer>();
        waited->start();
        return {[waited] {
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                    if (waited->hasExpired(40000))
                        throw std::runtime_error("the desktop gave no answer");
                },
                [saved] { return saved.toStdString(); },
                [this](const std::string& permission) { m_kept << QString::fromStdString(permission); }};
    }

private slots:
    void initTestCase()
    {
        if (!m_missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("the headless desktop is not installed: ") + m_missing));
        m_window.show();
        QTRY_VERIFY(m_window.isActiveWindow());
        QCOMPARE(Keys::PortalKeySender::unavailableReason(), std::string());
        m_sender = std::make_unique<Keys::PortalKeySender>();
        QProcess answerer;
        runDialogScript(answerer);
        m_sender->prepare(preparation());
        QVERIFY(answered(answerer));
    }

    void init()
    {
        m_window.clear();
        m_window.transcript.clear();
        m_kept.clear();
    }

    void typesEveryCharacterTheLayoutHolds()
    {
        Keys::PortalKeySender& sender = *m_sender;

        QString printable;
        const QString alphabet = dsEncrypt().alphabet();
        for (const QChar c : alphabet) {
            if (c.isPrint() && !sender.firstUntypable(strokesOf(c)))
                printable += c;
        }
        QVERIFY2(printable.size() >= 95, "the us layout holds all of printable ASCII");
        std::vector<KeyStroke> strokes = strokesOf(printable);
        strokes.push_back({Keys::Key::Tab, 0, Keys::NoModifier});
        strokes.push_back({Keys::Key::Tab, 0, Keys::Shift});
        strokes.push_back({Keys::Key::Enter, 0, Keys::NoModifier});
        sendBesideTheWindow([&] { sender.send(strokes); });
        const QString expected = printable + QStringLiteral("\t+{TAB}\r");
        QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, expected, 10000);
        QCOMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
    }

    void refusedDialogTypesNothing_data()
    {
        QTest::addColumn<bool>("prepared");
        QTest::newRow("prepared") << true;
        QTest::newRow("sent without preparing") << false;
    }

    void refusedDialogTypesNothing()
    {
        QFETCH(bool, prepared);
        Keys::PortalKeySender sender;
        QProcess answerer;
        runDialogScript(answerer, {QStringLiteral("--refuse")});
        try {
            if (prepared)
                sender.prepare(preparation());
            else
                sendBesideTheWindow([&] { sender.send(strokesOf(QStringLiteral("secret"))); });
            QFAIL("a refused dialog was not reported");
        } catch (const Keys::KeySendError& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("refused")), error.what());
        }
        QVERIFY(answered(answerer));
        QTest::qWait(300);
        QCOMPARE(m_window.transcript, QString());
        QVERIFY(m_kept.isEmpty());
    }

    void abandonedWaitPassesThrough()
    {
        // Stopped while the dialog is shown: the dialog is closed.
        Keys::PortalKeySender sender;
        QProcess watcher;
        runDialogScript(watcher, {QStringLiteral("--shown")});
        Keys::Preparation impatient = preparation();
        impatient.whileWaiting = [&watcher] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (watcher.state() == QProcess::NotRunning)
                throw std::logic_error("stopped");
        };
        QVERIFY_THROWS_EXCEPTION(std::logic_error, sender.prepare(impatient));
        QVERIFY(answered(watcher));
        runDialogScript(watcher, {QStringLiteral("--gone"), QStringLiteral("--timeout"), QStringLiteral("5")});
        QVERIFY2(answered(watcher), "the dialog stayed open");
        // The next request is answered as usual.
        QProcess answerer;
        runDialogScript(answerer);
        sender.prepare(preparation());
        QVERIFY(answered(answerer));
    }

    // Each row waits for its layout by a character it tells from the one before: "~" beyond AltGr on Slovenian, and
    // "ä" (plain on German) untypable on the others.
    void judgesCharactersByTheLayout_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("untypable");
        QTest::newRow("us: an accented letter")
            << QByteArray("us") << QStringLiteral("caf\u00e9") << QStringLiteral("\u00e9");
        QTest::newRow("us: the first of several")
            << QByteArray("us") << QStringLiteral("a\u4e2d\u00e9") << QStringLiteral("\u4e2d");
        // Slovenian holds "~" only with Shift+AltGr (on the key of "1", which the portal would type instead).
        QTest::newRow("si: beyond AltGr") << QByteArray("si") << QStringLiteral("til~de") << QStringLiteral("~");
        QTest::newRow("de: AltGr") << QByteArray("de") << QStringLiteral("@{[|\\\u00e4") << QString();
    }

    void judgesCharactersByTheLayout()
    {
        QFETCH(QByteArray, layout);
        QFETCH(QString, text);
        QFETCH(QString, untypable);
        if (layout != "us" && !isKde())
            QSKIP("a bare mutter takes no keyboard layout but its own");
        QVERIFY(layout == "us" || m_desktop->useKeyboardLayout(layout));
        const auto first = [&] {
            const std::optional<char32_t> character = m_sender->firstUntypable(strokesOf(text));
            return character ? QString::fromUcs4(&*character, 1) : QString();
        };
        QTRY_COMPARE(first(), untypable);
        if (untypable.isEmpty()) {
            sendBesideTheWindow([&] { m_sender->send(strokesOf(text)); });
            QTRY_COMPARE(m_window.transcript, text);
        }
    }

    // KDE asks consent only of a program launched with an application ID, GNOME of every program. Where the portal
    // keeps the consent (interface version 2 on), the permission it hands over lets the next run type without asking.
    void asksConsentAsTheDesktopDoes_data()
    {
        QTest::addColumn<bool>("fromTheMenu");
        QTest::newRow("launched from the menu") << true;
        QTest::newRow("started from a terminal") << false;
    }

    void asksConsentAsTheDesktopDoes()
    {
        QFETCH(bool, fromTheMenu);
        QVERIFY(m_desktop->startAsFromTheMenu(fromTheMenu));
        const auto back = qScopeGuard([this] { m_desktop->startAsFromTheMenu(true); });
        {
            Keys::PortalKeySender sender;
            QProcess answerer;
            runDialogScript(answerer, {QStringLiteral("--timeout"), QStringLiteral("5")});
            sender.prepare(preparation());
            QCOMPARE(answered(answerer), fromTheMenu || !isKde());
        }
        // The portal's remote-desktop interface keeps the consent from version 2 on.
        sd_bus* bus = nullptr;
        std::uint32_t version = 0;
        if (sd_bus_open_user(&bus) >= 0)
            sd_bus_get_property_trivial(bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                        "org.freedesktop.portal.RemoteDesktop", "version", nullptr, 'u', &version);
        sd_bus_flush_close_unref(bus);
        const bool persists = version >= 2;
        QCOMPARE(m_kept.size(), persists ? 1 : 0);
        if (!persists)
            return;
        Keys::PortalKeySender sender;
        sender.prepare(preparation(m_kept.first())); // no dialog: nothing answers one
        sendBesideTheWindow([&] { sender.send(strokesOf(QStringLiteral("ok"))); });
        QTRY_COMPARE(m_window.transcript, QStringLiteral("ok"));
    }

    // Launched from the main window, the website types through the portal that the program chooses for this
    // session, once the consent dialog that the launch brings up is answered.
    void signsInThroughChromium()
    {
        // back on the us layout, which holds every character of the password
        QVERIFY(!isKde() || m_desktop->useKeyboardLayout("us"));
        QTRY_VERIFY(!m_sender->firstUntypable(strokesOf(SignInWebsite::Password)));
        QVERIFY2(!m_home.emplace().chromium().isEmpty(), "chromium is missing: run scripts/install-deps.sh --test");
        QVERIFY(m_home->useChromium(QStringLiteral("profile"), QStringLiteral("--ozone-platform=wayland")));
        PageServer server(SignInWebsite::Page);
        QVERIFY(server.isListening());
        const TempDataFolder folder;
        folder.execute(SignInWebsite::website(server.url()));
        ScriptedDialogs dialogs;
        frmWebsite window;
        QVERIFY(window.Form_Load());
        window.show();
        QTRY_VERIFY(window.isActiveWindow()); // the desktop gives a new window the focus
        const auto end = qScopeGuard([&] {
            Keys::releasePlatformKeySender(); // ends the portal's session
            m_home->endChromium(QStringLiteral("profile"));
        });
        QProcess answerer;
        runDialogScript(answerer);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdLaunch")), Qt::LeftButton);
        QVERIFY2(answered(answerer), "the consent dialog was not answered");
        QCOMPARE(dialogs.messageTexts(), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(server.queries > 0, 30000);
        QCOMPARE((QStringList{server.path, server.value("username"), server.value("password")}),
                 (QStringList{"/login", SignInWebsite::UserName, SignInWebsite::Password}));
        QCOMPARE(server.pageLoads, 1);
    }
};

QUILLOCK_PORTAL_DESKTOP_TEST_MAIN(TestPortal)

#include "tst_portal.moc"
