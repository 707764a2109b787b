// The X11 keystroke backend typing into a real Qt window on a display of the test's own.

#include "platform/error/AppError.h"
#include "platform/keys/SendKeys.h"
#include "platform/keys/X11KeySender.h"
#include "support/XvfbTestMain.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <X11/Xlib.h>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// A window that writes down the keys it receives: the text they type, {ENTER}, {TAB} and +{TAB} for
// Enter, Tab and Shift+Tab, and ^ or % before the name of a key pressed with Control or Alt.
class KeyRecorder : public QWidget
{
public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }

    QString transcript;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            transcript += QStringLiteral("{ENTER}");
        else if (event->key() == Qt::Key_Tab)
            transcript += QStringLiteral("{TAB}");
        else if (event->key() == Qt::Key_Backtab)
            transcript += QStringLiteral("+{TAB}");
        else if (event->text().isEmpty())
            return; // Shift, Caps Lock and the like type nothing
        else if (event->modifiers() & Qt::ControlModifier)
            transcript += QLatin1Char('^') + QKeySequence(event->key()).toString();
        else if (event->modifiers() & Qt::AltModifier)
            transcript += QLatin1Char('%') + QKeySequence(event->key()).toString();
        else
            transcript += event->text();
    }

    // Tab and Shift+Tab are keys to record here, not moves of the focus.
    bool focusNextPrevChild(bool) override { return false; }
};

QStringList eachCharacterLiterally(const QString& text)
{
    QStringList keyStrings;
    for (QChar c : text)
        keyStrings << literalKeyString(c);
    return keyStrings;
}

// Whether the display's keyboard map has a key for the keysym, as a client connecting now sees it.
bool keymapHas(KeySym keysym)
{
    Display* display = XOpenDisplay(nullptr);
    const bool has = XKeysymToKeycode(display, keysym) != 0;
    XCloseDisplay(display);
    return has;
}

constexpr KeySym EAcute = 0xe9; // é, not on the server's US keyboard

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
    QString send(const QStringList& keyStrings);

    std::unique_ptr<Keys::X11KeySender> m_sender;
    KeyRecorder m_window;
};

void TestX11Keys::initTestCase()
{
    QVERIFY2(!keymapHas(EAcute), "the test needs a character that the server's keyboard map lacks");
    m_window.resize(400, 200);
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
// the sender waits for a spare key to become free. Returns the error raised, if any.
QString TestX11Keys::send(const QStringList& keyStrings)
{
    Keys::setKeySender(m_sender.get());
    std::atomic<bool> done = false;
    QString failure;
    std::thread sender([&] {
        try {
            for (const QString& keys : keyStrings)
                sendKeys(keys);
        } catch (const AppError& error) {
            failure = error.description();
        }
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    sender.join();
    Keys::setKeySender(nullptr);
    return failure;
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
    QTest::newRow("Enter, Tab and Shift+Tab")
        << QStringList{"a", "\r", "b", "\t", "c", QStringLiteral("+{\t}"), "d", "~", "{TAB 2}", "+{TAB}", "{ENTER}"}
        << "a{ENTER}b{TAB}c+{TAB}d{ENTER}{TAB}{TAB}+{TAB}{ENTER}";
    QTest::newRow("Shift, Control and Alt for a key and for a group")
        << QStringList{"+a", "+1", "+(xyz)", "q", "^a", "%b", "{{}"} << "A!XYZq^A%B{";
    QTest::newRow("characters the keyboard map lacks")
        << QStringList{"é", "a", "€", "Ω", "é", "Ж", "中", "~", "ü"} << QString::fromUtf8("éa€ΩéЖ中{ENTER}ü");
    // More different missing characters than spare keys: the first ones must be reused without garbling.
    const QString greek = QString::fromUtf8("αβγδεζηθικλμνξο");
    QTest::newRow("more missing characters than spare keys") << eachCharacterLiterally(greek + greek) << greek + greek;
    QTest::newRow("with Caps Lock on") << QStringList{"{CAPSLOCK}", "a", "B", "1", "é", "{CAPSLOCK}", "c"}
                                       << QString::fromUtf8("aB1éc");
}

void TestX11Keys::typesIntoTheFocusedWindowInOrder()
{
    QFETCH(QStringList, keyStrings);
    QFETCH(QString, transcript);
    QCOMPARE(send(keyStrings), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, transcript, 10000);
    // No modifier is left held, neither as Qt sees it nor on the server.
    QCOMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
    char keys[32];
    Display* display = XOpenDisplay(nullptr);
    XQueryKeymap(display, keys);
    XCloseDisplay(display);
    QCOMPARE(QByteArray(keys, sizeof keys), QByteArray(sizeof keys, '\0'));
}

void TestX11Keys::givesSpareKeysBackWhenIdleAndWhenItEnds()
{
    QCOMPARE(send({"é"}), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, QString::fromUtf8("é"), 10000);
    m_sender->releaseIdleKeys();
    QVERIFY2(keymapHas(EAcute), "given back while the window may still be taking it");
    QTest::qWait(2500);
    m_sender->releaseIdleKeys();
    QVERIFY(!keymapHas(EAcute));

    QCOMPARE(send({"é"}), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_window.transcript, QString::fromUtf8("éé"), 10000);
    QVERIFY(keymapHas(EAcute));
    m_sender.reset();
    QVERIFY(!keymapHas(EAcute));
}

QUILLOCK_XVFB_TEST_MAIN(TestX11Keys)

#include "tst_x11keys.moc"
