#include "ReferenceBlowfish.h"
#include "support/CaughtError.h"

#include "crypto/basBlowfish.h"
#include "crypto/basBlowfishByteFns.h"
#include "crypto/basConvert.h"
#include "crypto/basUnsignedWord.h"
#include "crypto/dsEncrypt.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <functional>

using namespace basBlowfish;
using namespace basBlowfishByteFns;
using namespace basUnsignedWord;
using basConvert::HexToBytes;

namespace {

const QString KeyText = QStringLiteral("0123456789abcdef");

// The bytes 0, 1, 2, ... as a text of n characters.
QString byteText(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QChar(i % 256);
    return text;
}

// Whether the tables in force are OpenSSL's key schedule for the key.
bool tablesAreScheduleOf(const QByteArray& key)
{
    const referenceBlowfish::KeyedTables reference = referenceBlowfish::keyedTables(key);
    return PArray() == reference.pArray && SBoxes() == reference.sBoxes;
}

// The cipher as the table look-up it stands for: for each character, the first row whose character at
// the text character's place is the key character; that row's first character is the result.
QString rowSearch(const dsEncrypt& cipher, const QString& text)
{
    const QString key = QStringLiteral("reppocdniwhtron");
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype place = cipher.alphabet().indexOf(text[i]);
        int row = 1;
        while (cipher.tableRow(row)[place] != key[i % key.size()])
            ++row;
        result += cipher.tableRow(row).front();
    }
    return result;
}

} // namespace

using Work = std::function<void()>;
Q_DECLARE_METATYPE(Work)

class TestCiphers : public QObject
{
    Q_OBJECT

private slots:
    void matchesOpenSsl();
    void encryptText_data();
    void encryptText();
    void fieldCipher();
    void errors_data();
    void errors();
    void conversions_data();
    void conversions();
};

// Random key lengths cover short keys, whose bytes are used cyclically; data lengths that are no multiple
// of 8 show that the bytes after the last whole block are dropped.
void TestCiphers::matchesOpenSsl()
{
    // Two of Eric Young's published vectors, independent of any reference.
    QVERIFY(SetCipherKey(QByteArray::fromHex("0123456789ABCDEF")));
    QCOMPARE(CipherBlocksEcb(QByteArray::fromHex("1111111111111111"), true).toHex(), "61f9c3802281b096");
    QVERIFY(SetCipherKey(QByteArray::fromHex("F0")));
    QCOMPARE(CipherBlocksEcb(QByteArray::fromHex("FEDCBA9876543210"), true).toHex(), "f9ad597c49db005e");

    constexpr quint32 seed = 20240607;
    QRandomGenerator random(seed);
    const auto randomBytes = [&random](int count) {
        QByteArray bytes(count, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        return bytes;
    };
    for (int trial = 0; trial < 200; ++trial) {
        const QByteArray context = "seed " + QByteArray::number(seed) + ", trial " + QByteArray::number(trial) + ": ";
        const QByteArray key = randomBytes(trial == 0 ? 56 : random.bounded(1, 57)); // the longest key first
        const QByteArray data = randomBytes(random.bounded(8, 40));
        QVERIFY(SetCipherKey(key));
        // Refused keys leave the key's tables in force.
        QVERIFY(!SetCipherKey(QByteArray()) && !SetCipherKey(randomBytes(57)));
        QVERIFY2(tablesAreScheduleOf(key), context + "key schedule differs");
        QCOMPARE(context + CipherBlocksEcb(data, true).toHex(),
                 context + referenceBlowfish::ecb(key, data, true).toHex());
        QCOMPARE(context + CipherBlocksEcb(data, false).toHex(),
                 context + referenceBlowfish::ecb(key, data, false).toHex());
    }
}

void TestCiphers::encryptText_data()
{
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("enciphered");

    QTest::newRow("empty") << KeyText << QString() << 8;
    QTest::newRow("7 bytes") << KeyText << byteText(7) << 8;
    QTest::newRow("8 bytes") << KeyText << byteText(8) << 16;
    QTest::newRow("every byte value, odd-length key") << QStringLiteral("7") << byteText(256) << 264;
    QTest::newRow("password file: the password and a line break under itself, a non-hex key")
        << QStringLiteral("Tr0ub4dor&3") << QStringLiteral("Tr0ub4dor&3\r\n") << 16;
}

// The enciphered text is Blowfish ECB of the text followed by p padding bytes of value p.
void TestCiphers::encryptText()
{
    QFETCH(QString, keyText);
    QFETCH(QString, text);
    QFETCH(int, enciphered);

    const QString cipherText = EncryptText(text, keyText);
    const char padding = static_cast<char>(enciphered - text.size());
    const QByteArray padded = text.toLatin1() + QByteArray(padding, padding);
    QCOMPARE(cipherText.toLatin1().toHex(), referenceBlowfish::ecb(HexToBytes(keyText), padded, true).toHex());
    QCOMPARE(DecryptText(cipherText, keyText), text);
}

// Every stored name, link and password depends on the alphabet and the key: the pinned pair must never
// change, whatever key string a caller sets.
void TestCiphers::fieldCipher()
{
    QString everyCharacter = QStringLiteral("\n\r");
    for (char16_t c = u' '; c <= u'~'; ++c)
        everyCharacter += QChar(c);
    const QString enciphered = QStringLiteral("wDv\\2h1x6g%4I%:C~u@XZl\n113u:7ipdIMSIW)nv!3f~$TS?dE6RVe|Cs21ea+!p>"
                                              "KZ0of+>HRFSjyAr)e6B:.]?tbD*9),jT");
    dsEncrypt cipher;
    cipher.setKeyString(QStringLiteral("a master password"));
    QCOMPARE(cipher.Encrypt2(everyCharacter), enciphered);
    QCOMPARE(cipher.Encrypt2(enciphered), everyCharacter);
    QCOMPARE(cipher.Encrypt2(QString()), QString());

    QCOMPARE(cipher.tableRow(1), cipher.alphabet());

    constexpr quint32 seed = 19970401;
    QRandomGenerator random(seed);
    for (int trial = 0; trial < 100; ++trial) {
        QString text;
        for (int length = random.bounded(200); length > 0; --length)
            text += cipher.alphabet()[random.bounded(cipher.alphabet().size())];
        const QString context = QStringLiteral("seed %1, trial %2: ").arg(seed).arg(trial);
        const QString once = cipher.Encrypt2(text);
        QCOMPARE(context + once, context + rowSearch(cipher, text));
        QCOMPARE(context + cipher.Encrypt2(once), context + text);
    }
    const QString longest(32767, QLatin1Char('x'));
    QCOMPARE(cipher.Encrypt2(cipher.Encrypt2(longest)), longest);
}

void TestCiphers::errors_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("problem");

    const int invalid = ErrorNumber::InvalidArgument;
    const int outOfRange = ErrorNumber::SubscriptOutOfRange;
    const QString tooLongKey(113, QLatin1Char('a')); // read with a leading 0: 57 key bytes
    QTest::newRow("deciphering less than a block")
        << Work([] { DecryptText(byteText(7), KeyText); }) << outOfRange << "shorter than one 8-byte block";
    QTest::newRow("ECB on less than a block") << Work([] { CipherBlocksEcb(QByteArray(7, 'x'), true); }) << outOfRange
                                              << "shorter than one 8-byte cipher block";
    QTest::newRow("empty key text") << Work([] { EncryptText("text", QString()); }) << invalid << "empty";
    QTest::newRow("key schedule of an empty key") << Work([] { ExpandKey(QByteArray()); }) << invalid << "empty";
    QTest::newRow("enciphering under a 57-byte key")
        << Work([=] { EncryptText("text", tooLongKey); }) << invalid << "57 key bytes";
    QTest::newRow("deciphering under a 57-byte key")
        << Work([=] { DecryptText(QString(8, QLatin1Char('x')), tooLongKey); }) << invalid << "57 key bytes";
    QTest::newRow("character outside Latin-1")
        << Work([] { EncryptText(QStringLiteral("pay 5 \u20AC"), KeyText); }) << invalid << "U+20AC at position 7";
    const int overflow = ErrorNumber::Overflow;
    QTest::newRow("negative word") << Work([] { DoubleToWord(-1.0); }) << overflow << "value -1 does";
    QTest::newRow("word one past the largest")
        << Work([] { DoubleToWord(4294967296.0); }) << overflow << "value 4294967296 does";
    QTest::newRow("word of not a number") << Work([] { DoubleToWord(std::nan("")); }) << overflow << "value nan does";

    const auto field = [](const QString& text) { return Work([=] { dsEncrypt().Encrypt2(text); }); };
    QTest::newRow("field: tab") << field("abc\tdef") << invalid << "U+0009 at position 4";
    QTest::newRow("field: delete") << field("x\u007F") << invalid << "U+007F at position 2";
    QTest::newRow("field: accented letter") << field("caf\u00E9") << invalid << "U+00E9 at position 4";
    QTest::newRow("field: character beyond 16 bits") << field("ok \U0001F600") << invalid << "U+1F600";
    QTest::newRow("field: one character too long") << field(QString(32768, QLatin1Char('x'))) << overflow << "32768";
    QTest::newRow("field: table row 0") << Work([] { dsEncrypt().tableRow(0); }) << outOfRange << "not row 0";
    QTest::newRow("field: table row 98") << Work([] { dsEncrypt().tableRow(98); }) << outOfRange << "not row 98";
}

// An earlier key is in force: a refused key must fail rather than go on with its tables, which would
// give a result no key reproduces.
void TestCiphers::errors()
{
    QFETCH(Work, work);
    QFETCH(int, number);
    QFETCH(QString, problem);

    QVERIFY(SetCipherKey("earlier key"));
    const auto error = caughtError(work);
    QVERIFY(error);
    QCOMPARE(error->number(), number);
    QVERIFY2(error->description().contains(problem), qPrintable(error->description()));
}

// What the function gives (computed here) against what it should give.
void TestCiphers::conversions_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expected");

    const auto word = [](double value) { return QByteArray::number(DoubleToWord(value)); };
    QTest::newRow("word of 0") << word(0.0) << QByteArray("0");
    QTest::newRow("largest word") << word(4294967295.0) << QByteArray("4294967295");
    QTest::newRow("word of a fraction rounds") << word(7.75) << QByteArray("8");
    QTest::newRow("word of a half rounds to even") << word(2.5) << QByteArray("2");
    QTest::newRow("largest word's value")
        << QByteArray::number(WordToDouble(0xFFFFFFFF), 'f', 0) << QByteArray("4294967295");

    const auto hex = [](const char* text) { return HexToBytes(QString::fromLatin1(text)).toHex(); };
    QTest::newRow("hex: empty") << hex("") << QByteArray();
    QTest::newRow("hex: digit pairs, both cases") << hex("00ff7Fa0") << QByteArray("00ff7fa0");
    QTest::newRow("hex: odd length reads a leading 0") << hex("ABC") << QByteArray("0abc");
    QTest::newRow("hex: non-digit first stops the pair") << hex("g1") << QByteArray("00");
    QTest::newRow("hex: letter beyond F") << hex("G0") << QByteArray("00");
    QTest::newRow("hex: non-digit second keeps the first") << hex("Ag") << QByteArray("0a");
    QTest::newRow("hex: blank, tab and line feed skipped") << hex("\tA b\nC") << QByteArray("0a0b0c");
    QTest::newRow("hex: carriage return stops the pair") << hex("\r1") << QByteArray("00");

    QTest::newRow("unpad: empty") << RemoveBlockPadding({}) << QByteArray();
    QTest::newRow("unpad: a whole block") << RemoveBlockPadding(QByteArray(8, '\x08')) << QByteArray();
    QTest::newRow("unpad: last byte 0 is no padding")
        << RemoveBlockPadding(QByteArray("abc\0", 4)) << QByteArray("abc\0", 4);
    QTest::newRow("unpad: last byte 9 is no padding")
        << RemoveBlockPadding("abcdefgh\x09") << QByteArray("abcdefgh\x09");
    QTest::newRow("unpad: other padding bytes unchecked") << RemoveBlockPadding("abc\x07\x02") << QByteArray("abc");
    QTest::newRow("unpad: padding longer than the data") << RemoveBlockPadding("a\x05") << QByteArray();
}

void TestCiphers::conversions()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expected);
    QCOMPARE(actual, expected);
}

QTEST_APPLESS_MAIN(TestCiphers)
#include "tst_ciphers.moc"
