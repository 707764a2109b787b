// The key-string syntax: what key presses a string stands for, and which strings it refuses.

#include "platform/error/AppError.h"
#include "platform/keys/KeyString.h"
#include "support/RecordingKeySender.h"
#include "platform/keys/SendKeys.h"

#include <QTest>

using Keys::Key;

namespace {

std::u32string utf32(const QString& text)
{
    const QList<uint> codePoints = text.toUcs4();
    return std::u32string(codePoints.begin(), codePoints.end());
}

// The strokes written out, one entry each: modifiers as + ^ %, then the character or <NAME>.
QStringList describe(const std::vector<Keys::KeyStroke>& strokes)
{
    const QMap<Key, QString> names{{Key::Enter, "ENTER"}, {Key::Tab, "TAB"},    {Key::Backspace, "BS"},
                                   {Key::Delete, "DEL"},  {Key::Escape, "ESC"}, {Key::PageDown, "PGDN"}};
    QStringList described;
    for (const Keys::KeyStroke& stroke : strokes) {
        QString text;
        if (stroke.modifiers & Keys::Shift)
            text += QLatin1Char('+');
        if (stroke.modifiers & Keys::Control)
            text += QLatin1Char('^');
        if (stroke.modifiers & Keys::Alt)
            text += QLatin1Char('%');
        if (stroke.key == Key::Character)
            text += QString::fromUcs4(&stroke.character, 1);
        else if (stroke.key >= Key::F1 && stroke.key <= Key::F16)
            text += QStringLiteral("<F%1>").arg(static_cast<int>(stroke.key) - static_cast<int>(Key::F1) + 1);
        else
            text += QLatin1Char('<') + names.value(stroke.key, QStringLiteral("?")) + QLatin1Char('>');
        described << text;
    }
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
    void sendKeysRefusesABrokenStringWhole();
};

void TestKeyString::parses_data()
{
    QTest::addColumn<QString>("keyString");
    QTest::addColumn<QStringList>("strokes");

    QTest::newRow("plain characters") << "aZ 9!" << QStringList{"a", "Z", " ", "9", "!"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("carriage return, line feed and tilde are Enter, tab is Tab")
        << "a\rb\n\t~" << QStringList{"a", "<ENTER>", "b", "<ENTER>", "<TAB>", "<ENTER>"};
    QTest::newRow("Shift+Tab braced and by name") << "+{\t}+{TAB}" << QStringList{"+<TAB>", "+<TAB>"};
    QTest::newRow("key names ignore case")
        << "{enter}{Tab}{bs}{DEL}{esc}{PgDn}{F12}"
        << QStringList{"<ENTER>", "<TAB>", "<BS>", "<DEL>", "<ESC>", "<PGDN>", "<F12>"};
    QTest::newRow("modifiers add up for the next key only") << "^+%xb" << QStringList{"+^%x", "b"};
    QTest::newRow("groups share their modifiers") << "^(a+(bc))d" << QStringList{"^a", "+^b", "+^c", "d"};
    QTest::newRow("every reserved character braced")
        << "{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}" << QStringList{"+", "^", "%", "~", "(", ")", "{", "}", "[", "]"};
    QTest::newRow("a braced blank") << "{ }" << QStringList{" "};
    QTest::newRow("counts") << "{TAB 3}{a 2}{} 2}{x 0}" << QStringList{"<TAB>", "<TAB>", "<TAB>", "a", "a", "}", "}"};
    QTest::newRow("a count under Shift") << "+{TAB 2}" << QStringList{"+<TAB>", "+<TAB>"};
    QTest::newRow("characters beyond ASCII")
        << QString::fromUtf8("é€中😀") << QStringList{"é", "€", "中", QString::fromUtf8("😀")};
}

void TestKeyString::parses()
{
    QFETCH(QString, keyString);
    QFETCH(QStringList, strokes);
    QCOMPARE(describe(Keys::parseKeyString(utf32(keyString))), strokes);
}

void TestKeyString::refuses_data()
{
    QTest::addColumn<QString>("keyString");

    QTest::newRow("unclosed brace") << "{TAB";
    QTest::newRow("lone opening brace") << "{";
    QTest::newRow("empty braces") << "{}";
    QTest::newRow("lone closing brace") << "a}";
    QTest::newRow("unclosed parenthesis") << "+(ab";
    QTest::newRow("lone closing parenthesis") << "a)";
    QTest::newRow("modifier at the end") << "a+";
    QTest::newRow("modifier before a closing parenthesis") << "(a+)";
    QTest::newRow("unbraced bracket") << "[";
    QTest::newRow("unknown key name") << "{TABS}";
    QTest::newRow("count that is not a number") << "{TAB -1}";
    QTest::newRow("count too large") << "{TAB 99999}";
    QTest::newRow("control character") << QString(QChar(1));
    QTest::newRow("delete character") << QString(QChar(0x7f));
}

void TestKeyString::refuses()
{
    QFETCH(QString, keyString);
    QVERIFY_THROWS_EXCEPTION(Keys::KeyStringError, Keys::parseKeyString(utf32(keyString)));
}

// A broken key string is an error of the program's own kind, and none of its keys go.
void TestKeyString::sendKeysRefusesABrokenStringWhole()
{
    Keys::RecordingKeySender sender;
    try {
        sendKeys(QStringLiteral("ab{"));
        QFAIL("a broken key string was accepted");
    } catch (const AppError& error) {
        QCOMPARE(error.number(), ErrorNumber::InvalidArgument);
        QVERIFY2(error.description().contains(QStringLiteral("ab{")), qPrintable(error.description()));
    }
    QVERIFY(sender.calls.empty());
}

QTEST_MAIN(TestKeyString)
#include "tst_keystring.moc"
