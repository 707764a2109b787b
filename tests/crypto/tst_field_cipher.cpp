#include "support/CaughtError.h"

#include "crypto/dsEncrypt.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

namespace {

constexpr quint32 RandomSeed = 19970401;

const QString BuiltInKey = QStringLiteral("reppocdniwhtron");

QString randomText(QRandomGenerator& random, const QString& alphabet, int length)
{
    QString text;
    for (int i = 0; i < length; ++i) {
        text += alphabet[random.bounded(alphabet.size())];
    }
    return text;
}

// The cipher as a table look-up: for each character, the first row whose character at the text
// character's place is the key character; its first character is the result.
QString rowSearch(const dsEncrypt& cipher, const QString& text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype place = cipher.alphabet().indexOf(text[i]);
        const QChar keyCharacter = BuiltInKey[i % BuiltInKey.size()];
        for (int row = 1; row <= dsEncrypt::AlphabetLength; ++row) {
            if (cipher.tableRow(row)[place] == keyCharacter) {
                result += cipher.tableRow(row).front();
                break;
            }
        }
    }
    return result;
}

} // namespace

class TestFieldCipher : public QObject
{
    Q_OBJECT

private slots:
    void alphabetAndTable();
    void storedFormatIsPinned();
    void agreesWithTheRowSearchAndUndoesItself();
    void repeatedCharacterRepeatsWithTheKey_data();
    void repeatedCharacterRepeatsWithTheKey();
    void keyStringChangesNothing();
    void refusedTexts_data();
    void refusedTexts();
    void longestTextIsAccepted();
};

// The printable ASCII characters but the double quote in an order of their own, then CR, LF and the
// quote. The other table rows are checked through the row search below.
void TestFieldCipher::alphabetAndTable()
{
    const dsEncrypt cipher;
    const QString alphabet = cipher.alphabet();
    QCOMPARE(alphabet.right(3), QStringLiteral("\r\n\""));
    QString expected = QStringLiteral("\n\r"); // in code order, as sorted
    for (char16_t c = u' '; c <= u'~'; ++c) {
        expected += QChar(c);
    }
    QString sorted = alphabet;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, expected);

    QCOMPARE(cipher.tableRow(1), alphabet);
    for (const int missingRow : {0, dsEncrypt::AlphabetLength + 1}) {
        const auto error = caughtError([&] { cipher.tableRow(missingRow); });
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
    }
}

// Every stored name, link and password depends on the alphabet and the key: this pair must never change.
void TestFieldCipher::storedFormatIsPinned()
{
    dsEncrypt cipher;
    const QString plain = QStringLiteral("https://example.com/login?user=\"Ann O'Neil\"\r\nTab~{7}");
    const QString enciphered = QStringLiteral("!,C]4HJGSm\r%<\\Y)n`:bmeN]G;8>.Ql`l4K;yf#$cpBL4KW1(W!K");
    QCOMPARE(cipher.Encrypt2(plain), enciphered);
    QCOMPARE(cipher.Encrypt2(enciphered), plain);
    QCOMPARE(cipher.Encrypt2(QString()), QString());
}

void TestFieldCipher::agreesWithTheRowSearchAndUndoesItself()
{
    dsEncrypt cipher;
    QRandomGenerator random(RandomSeed);
    for (int trial = 0; trial < 100; ++trial) {
        const QString text = randomText(random, cipher.alphabet(), random.bounded(0, 200));
        const QString enciphered = cipher.Encrypt2(text);
        const QString context = QStringLiteral("seed %1, trial %2: ").arg(RandomSeed).arg(trial);
        QCOMPARE(context + enciphered, context + rowSearch(cipher, text));
        QCOMPARE(context + cipher.Encrypt2(enciphered), context + text);
    }
}

void TestFieldCipher::repeatedCharacterRepeatsWithTheKey_data()
{
    QTest::addColumn<QChar>("character");

    QTest::newRow("letter") << QChar(u'a');
    QTest::newRow("double quote, the last in the alphabet") << QChar(u'"');
}

// The same character meets the 15 key characters in turn, so the result repeats every 15 characters.
void TestFieldCipher::repeatedCharacterRepeatsWithTheKey()
{
    QFETCH(QChar, character);

    dsEncrypt cipher;
    const QString enciphered = cipher.Encrypt2(QString(40, character));
    const QString firstPeriod = enciphered.left(dsEncrypt::KeyLength);
    QCOMPARE(enciphered, firstPeriod.repeated(3).left(40));
    QCOMPARE(firstPeriod, rowSearch(cipher, QString(dsEncrypt::KeyLength, character)));
}

void TestFieldCipher::keyStringChangesNothing()
{
    const QString text = QStringLiteral("Launch \"Mail\"\r\nnow");
    dsEncrypt keyed;
    keyed.setKeyString(QStringLiteral("a master password"));
    QCOMPARE(keyed.Encrypt2(text), dsEncrypt().Encrypt2(text));
}

void TestFieldCipher::refusedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("problem");

    const int invalid = ErrorNumber::InvalidArgument;
    QTest::newRow("tab") << QStringLiteral("abc\tdef") << invalid << QStringLiteral("U+0009 at position 4");
    QTest::newRow("delete") << QStringLiteral("x\u007F") << invalid << QStringLiteral("U+007F at position 2");
    QTest::newRow("accented letter") << QStringLiteral("caf\u00E9") << invalid
                                     << QStringLiteral("U+00E9 at position 4");
    QTest::newRow("character beyond 16 bits")
        << QStringLiteral("ok \U0001F600") << invalid << QStringLiteral("U+1F600");
    QTest::newRow("one character too long")
        << QString(dsEncrypt::MaxTextLength + 1, QLatin1Char('x')) << ErrorNumber::Overflow << QStringLiteral("32768");
}

void TestFieldCipher::refusedTexts()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QString, problem);

    dsEncrypt cipher;
    const auto error = caughtError([&] { cipher.Encrypt2(text); });
    QVERIFY(error);
    QCOMPARE(error->number(), number);
    QVERIFY2(error->description().contains(problem), qPrintable(error->description()));
}

void TestFieldCipher::longestTextIsAccepted()
{
    dsEncrypt cipher;
    const QString longest(dsEncrypt::MaxTextLength, QLatin1Char('x'));
    QCOMPARE(cipher.Encrypt2(cipher.Encrypt2(longest)), longest);
}

QTEST_APPLESS_MAIN(TestFieldCipher)
#include "tst_field_cipher.moc"
