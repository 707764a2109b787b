// The X11 keystroke backend typing into a real Qt window on a display of the test's own.

#include "platform/keys/SendKeys.h"
#include "platform/keys/X11KeySender.h"
#include "support/XvfbTestMain.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <X11/Xlib.h>
#include <future>
#include <memory>

namespace {

// A window that writes down the keys it receives: the text they type (\r for Enter, \t for Tab), +{TAB} for
// Shift+Tab, and ^ or % before the name of a key pressed with Control or Alt.
class KeyRecorder : public QWidget
{
public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }

    QString transcript;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString name = QKeySequence(event->key()).toString();
        const Qt::KeyboardModifiers held = event->modifiers();
        if (event->key() == Qt::Key_Backtab)
            transcript += QStringLiteral("+{TAB}");
        else if (!event->text().isEmpty()) // Shift, Caps Lock and the like type nothing
            transcript += held & Qt::ControlModifier ? '^' + name : held & Qt::AltModifier ? '%' + name : event->text();
    }

    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to record, not a move of the focus
};

// Each character in a key string of its own, as a replay types a text.
QStringList eachCharacterLiterally(const QString& text)
{
    QStringList keyStrings;
    for (QChar c : text)
        keyStrings << literalKeyString(c);
    return keyStrings;
}

// The display's keyboard, as a client connecting now sees it.
std::unique_ptr<Display, int (*)(Display*)> display()
{
    return {XOpenDisplay(nullptr), &XCloseDisplay};
}

constexpr KeySym EAcute = 0xe9; // é, not on the server's US keyboard

bool keymapHasEAcute()
{
    return XKeysymToKeycode(display().get(), EAcute) != 0;
}

} // namespace

class TestX11Keys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void typesIntoTheFocusedWindowInOrder_data();
    void typesIntoTheFocusedWindowInOrder();
    void givesSpareKeysBackWhenIdleAndWhenItEnds();

private:
    void send(const QStringList& keyStrings);

    std::unique_ptr<Keys::X11KeySender> m_sender;
    KeyRecorder m_window;
};

void TestX11Keys::initTestCase()
{
    QVERIFY2(!keymapHasEAcute(), "the test needs a character that the server's keyboard map lacks");
    m_window.show();
    m_window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_window));
    m_window.setFocus();
}

void TestX11Keys::init()
{
    m_sender = std::make_unique<Keys::X11KeySender>();
    m_window.transcript.clear();
}

// Sends from a thread of its own, as another program would: the window goes on taking its keys while
// the sender waits for a spare key to become free.
void TestX11Keys::send(const QStringList& keyStrings)
{
    Keys::setKeySender(m_sender.get());
    std::future<void> sent = std::async(std::launch::async, [&] {
        for (const QString& keys : keyStrings)
            sendKeys(keys);
    });
    while (sent.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents();
    Keys::setKeySender(nullptr);
    sent.get(); // raises what the sending raised
}

void TestX11Keys::typesIntoTheFocusedWindowInOrder_data()
{
    QTest::addColumn<QStringList>("keyStrings");
    QTest::addColumn<QString>("transcript");

    // Backwards, so that keys put in the order of their codes would show.
    QString ascii;
    for (char16_t c = 0x7e; c >= 0x20; --c)
        ascii += QChar(c);
    QTest::newRow("every printable ASCII character") << QStringList(eachCharacterLiterally(ascii).join("")) << ascii;
    QTest::newRow("Enter, Tab, Shift+Tab, and Shift, Control and Alt for a key, together and for a group")
        << QStringList{"a\rb\tc", QStringLiteral("+{\t}"), "+a", "+1", "+(xyz)", "q", "^a", "%b", "{{}", "^+x"}
        << "a\rb\tc+{TAB}A!XYZq^A%B{^X";
    // More different missing characters than spare keys: the first ones must be reused without garbling.
    const QString missing = QString::fromUtf8("éa€ΩéЖ中üαβγδεζηθικλμνξοαβγδεζηθικλμνξο");
    QTest::newRow("characters the keyboard map lacks") << eachCharacterLiterally(missing) << missing;
    QTest::newRow("with Caps Lock on") << QStringList{"{CAPSLOCK}", "a", "B", "1", "é", "{CAPSLOCK}", "c"}
                                       << QString::fromUtf8("aB1éc");
}

void TestX11Keys::typesIntoTheFocusedWindowInOrder()
{
    QFETCH(QStringList, keyStrings);
    QFETCH(QString, transcript);
    send(keyStrings);
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, transcript, 10000);
    // No modifier is left held, neither as Qt sees it nor on the server.
    QCOMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
    char keys[32];
    XQueryKeymap(display().get(), keys);
    QCOMPARE(QByteArray(keys, sizeof keys), QByteArray(sizeof keys, '\0'));
}

void TestX11Keys::givesSpareKeysBackWhenIdleAndWhenItEnds()
{
    send({"é"});
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, QString::fromUtf8("é"), 10000);
    m_sender->releaseIdleKeys();
    QVERIFY2(keymapHasEAcute(), "given back while the window may still be taking it");
    QTest::qWait(2500);
    m_sender->releaseIdleKeys();
    QVERIFY(!keymapHasEAcute());

    send({"é"});
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, QString::fromUtf8("éé"), 10000);
    QVERIFY(keymapHasEAcute());
    m_sender.reset();
    QVERIFY(!keymapHasEAcute());
}

QUILLOCK_XVFB_TEST_MAIN(TestX11Keys)

#include "tst_x11keys.moc"
