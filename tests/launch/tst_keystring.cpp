// The key-string syntax: what key presses a string stands for, and which strings it refuses.

#include "platform/error/AppError.h"
#include "platform/keys/KeyString.h"
#include "platform/keys/RecordingKeySender.h"
#include "platform/keys/SendKeys.h"

#include <QTest>

using Keys::Key;
using Keys::KeyStroke;

namespace {

std::u32string utf32(const QString& text)
{
    const QList<uint> codePoints = text.toUcs4();
    return std::u32string(codePoints.begin(), codePoints.end());
}

QString keyName(Key key)
{
    switch (key) {
    case Key::Enter:
        return QStringLiteral("ENTER");
    case Key::Tab:
        return QStringLiteral("TAB");
    case Key::Backspace:
        return QStringLiteral("BS");
    case Key::Delete:
        return QStringLiteral("DEL");
    case Key::Escape:
        return QStringLiteral("ESC");
    case Key::PageDown:
        return QStringLiteral("PGDN");
    default:
        break;
    }
    if (key >= Key::F1 && key <= Key::F16)
        return QStringLiteral("F%1").arg(static_cast<int>(key) - static_cast<int>(Key::F1) + 1);
    return QStringLiteral("KEY%1").arg(static_cast<int>(key));
}

// The strokes written out, one stroke per entry: modifiers as + ^ %, then the character or <NAME>.
QStringList describe(const std::vector<KeyStroke>& strokes)
{
    QStringList described;
    for (const KeyStroke& stroke : strokes) {
        QString text;
        if (stroke.modifiers & Keys::Shift)
            text += QLatin1Char('+');
        if (stroke.modifiers & Keys::Control)
            text += QLatin1Char('^');
        if (stroke.modifiers & Keys::Alt)
            text += QLatin1Char('%');
        if (stroke.key == Key::Character)
            text += QString::fromUcs4(&stroke.character, 1);
        else
            text += QLatin1Char('<') + keyName(stroke.key) + QLatin1Char('>');
        described << text;
    }
    return described;
}

QString printableAscii()
{
    QString text;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        text += QChar(c);
    return text;
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
    void literalKeyStringTypesEveryCharacterAsItself();
    void sendKeysHandsTheKeysToTheSender();
    void sendKeysRaisesInvalidArgumentAndSendsNothing();
};

void TestKeyString::parses_data()
{
    QTest::addColumn<QString>("keyString");
    QTest::addColumn<QStringList>("strokes");

    QTest::newRow("plain characters") << "aZ 9!" << QStringList{"a", "Z", " ", "9", "!"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("carriage return and line feed are Enter") << "a\rb\n" << QStringList{"a", "<ENTER>", "b", "<ENTER>"};
    QTest::newRow("tab is Tab") << "\t" << QStringList{"<TAB>"};
    QTest::newRow("tilde is Enter") << "~" << QStringList{"<ENTER>"};
    QTest::newRow("Shift+Tab as the replay sends it") << "+{\t}" << QStringList{"+<TAB>"};
    QTest::newRow("Shift+Tab by name") << "+{TAB}" << QStringList{"+<TAB>"};
    QTest::newRow("key names ignore case")
        << "{enter}{Tab}{bs}{DEL}{esc}{PgDn}{F12}"
        << QStringList{"<ENTER>", "<TAB>", "<BS>", "<DEL>", "<ESC>", "<PGDN>", "<F12>"};
    QTest::newRow("Shift applies to the next key only") << "+ab" << QStringList{"+a", "b"};
    QTest::newRow("modifiers add up") << "^+%x" << QStringList{"+^%x"};
    QTest::newRow("a group shares its modifiers") << "+(ab)c" << QStringList{"+a", "+b", "c"};
    QTest::newRow("nested groups") << "^(a+(bc))" << QStringList{"^a", "+^b", "+^c"};
    QTest::newRow("every reserved character braced")
        << "{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}" << QStringList{"+", "^", "%", "~", "(", ")", "{", "}", "[", "]"};
    QTest::newRow("a closing brace braced before more keys") << "{}}x" << QStringList{"}", "x"};
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
    QTest::newRow("count that is not a number") << "{TAB x}";
    QTest::newRow("negative count") << "{TAB -1}";
    QTest::newRow("count too large") << "{TAB 99999}";
    QTest::newRow("control character no key types") << QString(QChar(1));
    QTest::newRow("delete character") << QString(QChar(0x7f));
}

void TestKeyString::refuses()
{
    QFETCH(QString, keyString);
    QVERIFY_THROWS_EXCEPTION(Keys::KeyStringError, Keys::parseKeyString(utf32(keyString)));
}

void TestKeyString::literalKeyStringTypesEveryCharacterAsItself()
{
    const QString characters = printableAscii() + QString::fromUtf8("é€");
    for (QChar c : characters) {
        const QString keys = literalKeyString(c);
        QCOMPARE(describe(Keys::parseKeyString(utf32(keys))), QStringList{QString(c)});
        QCOMPARE(keys.size() == 3, Keys::isReservedCharacter(c.unicode()));
    }
}

void TestKeyString::sendKeysHandsTheKeysToTheSender()
{
    Keys::RecordingKeySender sender;
    sendKeys(QStringLiteral("ab"));
    sendKeys(QStringLiteral("+{TAB}"));
    QCOMPARE(sender.calls.size(), std::size_t{2});
    QCOMPARE(describe(sender.strokes()), (QStringList{"a", "b", "+<TAB>"}));
}

void TestKeyString::sendKeysRaisesInvalidArgumentAndSendsNothing()
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
