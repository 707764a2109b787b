// The key-string syntax: what key presses a string stands for, and which strings it refuses.

#include "platform/error/AppError.h"
#include "platform/keys/KeyString.h"
#include "platform/keys/SendKeys.h"
#include "support/RecordingKeySender.h"

#include <QTest>

using Keys::Key;

namespace {

// The strokes written out, one entry each: modifiers as + ^ %, then the character or <NAME>.
QStringList describe(const std::vector<Keys::KeyStroke>& strokes)
{
    const QMap<Key, QString> names{{Key::Enter, "<ENTER>"},          {Key::Tab, "<TAB>"},    {Key::Backspace, "<BS>"},
                                   {Key::Delete, "<DEL>"},           {Key::Escape, "<ESC>"}, {Key::PageDown, "<PGDN>"},
                                   {Key(int(Key::F1) + 11), "<F12>"}};
    QStringList described;
    for (const Keys::KeyStroke& stroke : strokes)
        described << QString(stroke.modifiers & Keys::Shift ? "+" : "") +
                         (stroke.modifiers & Keys::Control ? "^" : "") + (stroke.modifiers & Keys::Alt ? "%" : "") +
                         (stroke.key == Key::Character ? QString::fromUcs4(&stroke.character, 1)
                                                       : names.value(stroke.key, "<?>"));
    return described;
}

} // namespace

class TestKeyString : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void refuses_data();
    void refuses();
};

void TestKeyString::parses_data()
{
    QTest::addColumn<QString>("keyString");
    QTest::addColumn<QStringList>("strokes");

    QTest::newRow("plain characters") << "aZ 9!" << QStringList{"a", "Z", " ", "9", "!"};
    QTest::newRow("carriage return, line feed and tilde are Enter, tab is Tab")
        << "a\rb\n\t~" << QStringList{"a", "<ENTER>", "b", "<ENTER>", "<TAB>", "<ENTER>"};
    QTest::newRow("key names ignore case")
        << "{enter}{Tab}{bs}{DEL}{esc}{PgDn}{F12}"
        << QStringList{"<ENTER>", "<TAB>", "<BS>", "<DEL>", "<ESC>", "<PGDN>", "<F12>"};
    QTest::newRow("modifiers add up for the next key only") << "^+%xb" << QStringList{"+^%x", "b"};
    QTest::newRow("groups share their modifiers") << "^(a+(bc))d" << QStringList{"^a", "+^b", "+^c", "d"};
    QTest::newRow("every reserved character braced, and a blank")
        << "{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}{ }" << QStringList{"+", "^", "%", "~", "(", ")", "{", "}", "[", "]", " "};
    QTest::newRow("counts, under Shift too")
        << "{TAB 3}{a 2}{} 2}{x 0}+{TAB 2}"
        << QStringList{"<TAB>", "<TAB>", "<TAB>", "a", "a", "}", "}", "+<TAB>", "+<TAB>"};
    QTest::newRow("characters beyond ASCII")
        << QString::fromUtf8("é€中😀") << QStringList{"é", "€", "中", QString::fromUtf8("😀")};
}

void TestKeyString::parses()
{
    QFETCH(QString, keyString);
    QFETCH(QStringList, strokes);
    QCOMPARE(describe(Keys::parseKeyString(keyString.toStdU32String())), strokes);
}

void TestKeyString::refuses_data()
{
    QTest::addColumn<QString>("keyString");
    // Unbalanced braces and parentheses, a modifier with no key, an unbraced bracket, unknown names, bad counts.
    for (const char* broken :
         {"{TAB", "{", "{}", "a}", "+(ab", "a)", "a+", "(a+)", "[", "{TABS}", "{TAB -1}", "{TAB 99999}"})
        QTest::newRow(broken) << QString::fromLatin1(broken);
    QTest::newRow("a control character") << QString(QChar(1));
    QTest::newRow("the delete character") << QString(QChar(0x7f));
}

// A broken key string is refused whole: sendKeys raises an error of the program's own kind that names
// it, and none of its keys go.
void TestKeyString::refuses()
{
    QFETCH(QString, keyString);
    QVERIFY_THROWS_EXCEPTION(Keys::KeyStringError, Keys::parseKeyString(keyString.toStdU32String()));
    Keys::RecordingKeySender sender;
    try {
        sendKeys(QStringLiteral("ab") + keyString);
        QFAIL("a broken key string was accepted");
    } catch (const AppError& error) {
        QCOMPARE(error.number(), ErrorNumber::InvalidArgument);
        QVERIFY2(error.description().contains(QStringLiteral("ab") + keyString), qPrintable(error.description()));
    }
    QVERIFY(sender.calls.empty());
}

QTEST_MAIN(TestKeyString)
#include "tst_keystring.moc"
