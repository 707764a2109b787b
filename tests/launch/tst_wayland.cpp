// On a Wayland compositor of the test's own (headless sway): the Wayland keystroke backend typing into real Qt
// line edits, and the choice of key sender in a Wayland session.

#include "domain/crypto/dsEncrypt.h"
#include "os/keys/KeySender.h"
#include "os/keys/WaylandKeySender.h"
#include "os/keys/X11KeySender.h"
#include "platform/keys/SendKeys.h"
#include "support/GtkWitness.h"
#include "support/SendBesideTheWindow.h"
#include "support/SwayTestMain.h"
#include "support/XvfbServer.h"

#include <QLineEdit>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <QWidget>

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

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

    QWidget m_window;
    QLineEdit* m_first = new QLineEdit(&m_window);
    QLineEdit* m_second = new QLineEdit(&m_window);
    QLineEdit* m_third = new QLineEdit(&m_window); // so that Tab and Shift+Tab from the second go different ways
    std::unique_ptr<Keys::WaylandKeySender> m_sender;

private slots:
    void initTestCase()
    {
        QUILLOCK_SKIP_WITHOUT_SWAY();
        auto* layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_first);
        layout->addWidget(m_second);
        layout->addWidget(m_third);
        m_window.show();
        // The compositor gives the window the keyboard focus itself, once there is a keyboard.
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
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
};

QUILLOCK_SWAY_TEST_MAIN(TestWayland)
#include "tst_wayland.moc"
