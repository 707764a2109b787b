#include "ReferenceBlowfish.h"
#include "support/CaughtError.h"

#include "crypto/basBlowfish.h"
#include "crypto/basBlowfishByteFns.h"
#include "crypto/basConvert.h"

#include <QTest>

#include <functional>

using namespace basBlowfishByteFns;
using basConvert::HexToBytes;

namespace {

const QString KeyText = QStringLiteral("0123456789abcdef");

// A text of n characters standing for the bytes 0, 1, 2, ...
QString byteText(int n)
{
    QString text;
    for (int i = 0; i < n; ++i) {
        text += QChar(i % 256);
    }
    return text;
}

} // namespace

using Work = std::function<void()>;
Q_DECLARE_METATYPE(Work)

class TestBlowfishText : public QObject
{
    Q_OBJECT

private slots:
    void encryptText_data();
    void encryptText();
    void errors_data();
    void errors();
    void removeBlockPadding_data();
    void removeBlockPadding();
    void cipherBlocksEcbDropsAPartialBlock();
    void hexToBytes_data();
    void hexToBytes();
};

void TestBlowfishText::encryptText_data()
{
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("enciphered");

    QTest::newRow("empty") << KeyText << QString() << 8;
    QTest::newRow("7 bytes") << KeyText << byteText(7) << 8;
    QTest::newRow("8 bytes") << KeyText << byteText(8) << 16;
    QTest::newRow("13 bytes") << KeyText << byteText(13) << 16;
    QTest::newRow("every byte value, odd-length key") << QStringLiteral("7") << byteText(256) << 264;
    QTest::newRow("non-hex key") << QStringLiteral("Correct horse, battery staple!") << byteText(20) << 24;
    QTest::newRow("56-byte key") << QString(112, QLatin1Char('f')) << byteText(20) << 24;

    // Password.txt: the password and a line break, enciphered under the password itself.
    const QString characters = QStringLiteral("Tr0ub4dor&3 cafe:42!");
    for (const auto& [length, size] : {std::pair{1, 8}, {5, 8}, {6, 16}, {13, 16}, {14, 24}, {20, 24}}) {
        const QString password = characters.left(length);
        QTest::addRow("Password.txt, %d-character password", length)
            << password << password + QStringLiteral("\r\n") << size;
    }
}

// The enciphered text is plain Blowfish ECB of the text followed by p padding bytes of value p.
void TestBlowfishText::encryptText()
{
    QFETCH(QString, keyText);
    QFETCH(QString, text);
    QFETCH(int, enciphered);

    const QString cipherText = EncryptText(text, keyText);
    QCOMPARE(cipherText.size(), enciphered);

    const char padding = static_cast<char>(enciphered - text.size());
    const QByteArray padded = text.toLatin1() + QByteArray(padding, padding);
    QCOMPARE(cipherText.toLatin1().toHex(), referenceBlowfish::ecb(HexToBytes(keyText), padded, true).toHex());
    QCOMPARE(DecryptText(cipherText, keyText), text);
}

void TestBlowfishText::errors_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("problem");

    const QString tooLongKey(113, QLatin1Char('a')); // read with a leading 0: 57 key bytes
    QTest::newRow("deciphering less than a block")
        << Work([] { DecryptText(byteText(7), KeyText); }) << ErrorNumber::SubscriptOutOfRange
        << QStringLiteral("shorter than one 8-byte block");
    QTest::newRow("ECB on less than a block")
        << Work([] { CipherBlocksEcb(QByteArray(7, 'x'), true); }) << ErrorNumber::SubscriptOutOfRange
        << QStringLiteral("shorter than one 8-byte cipher block");
    QTest::newRow("empty key") << Work([] { EncryptText(QStringLiteral("text"), QString()); })
                               << ErrorNumber::InvalidArgument << QStringLiteral("empty");
    QTest::newRow("enciphering under a 57-byte key") << Work([=] { EncryptText(QStringLiteral("text"), tooLongKey); })
                                                     << ErrorNumber::InvalidArgument << QStringLiteral("57 key bytes");
    QTest::newRow("deciphering under a 57-byte key")
        << Work([=] { DecryptText(QString(8, QLatin1Char('x')), tooLongKey); }) << ErrorNumber::InvalidArgument
        << QStringLiteral("57 key bytes");
    QTest::newRow("character outside Latin-1")
        << Work([] { EncryptText(QStringLiteral("pay 5 \u20AC"), KeyText); }) << ErrorNumber::InvalidArgument
        << QStringLiteral("U+20AC at position 7");
}

// An earlier key is in force: a refused key must fail rather than go on with its tables, which would
// give a result no key reproduces.
void TestBlowfishText::errors()
{
    QFETCH(Work, work);
    QFETCH(int, number);
    QFETCH(QString, problem);

    QVERIFY(basBlowfish::SetCipherKey("earlier key"));
    const auto error = caughtError(work);
    QVERIFY(error);
    QCOMPARE(error->number(), number);
    QVERIFY2(error->description().contains(problem), qPrintable(error->description()));
}

void TestBlowfishText::removeBlockPadding_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("3 bytes of padding") << QByteArray("abcde\x03\x03\x03") << QByteArray("abcde");
    QTest::newRow("a whole block of padding") << QByteArray(8, '\x08') << QByteArray();
    QTest::newRow("last byte 0 is no padding") << QByteArray("abc\0", 4) << QByteArray("abc\0", 4);
    QTest::newRow("last byte 9 is no padding") << QByteArray("abcdefgh\x09") << QByteArray("abcdefgh\x09");
    QTest::newRow("other padding bytes unchecked") << QByteArray("abc\x07\x02") << QByteArray("abc");
    QTest::newRow("padding longer than the data") << QByteArray("a\x05") << QByteArray();
}

void TestBlowfishText::removeBlockPadding()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, expected);
    QCOMPARE(RemoveBlockPadding(data), expected);
}

void TestBlowfishText::cipherBlocksEcbDropsAPartialBlock()
{
    const QByteArray key = HexToBytes(KeyText);
    const QByteArray data = byteText(20).toLatin1();
    QVERIFY(basBlowfish::SetCipherKey(key));
    QCOMPARE(CipherBlocksEcb(data, true).toHex(), referenceBlowfish::ecb(key, data.left(16), true).toHex());
    QCOMPARE(CipherBlocksEcb(data, false).toHex(), referenceBlowfish::ecb(key, data.left(16), false).toHex());
}

void TestBlowfishText::hexToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("digit pairs, both cases") << QStringLiteral("00ff7Fa0") << QByteArray::fromHex("00FF7FA0");
    QTest::newRow("odd length reads a leading 0") << QStringLiteral("ABC") << QByteArray::fromHex("0ABC");
    QTest::newRow("non-digit first stops the pair") << QStringLiteral("g1") << QByteArray::fromHex("00");
    QTest::newRow("letter beyond F") << QStringLiteral("G0") << QByteArray::fromHex("00");
    QTest::newRow("non-digit second keeps the first") << QStringLiteral("Ag") << QByteArray::fromHex("0A");
    QTest::newRow("blank, tab and line feed skipped") << QStringLiteral("\tA b\nC") << QByteArray::fromHex("0A0B0C");
    QTest::newRow("carriage return stops the pair") << QStringLiteral("\r1") << QByteArray::fromHex("00");
    QTest::newRow("password") << QStringLiteral("Secret42") << QByteArray::fromHex("000C0E42");
}

void TestBlowfishText::hexToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexToBytes(text).toHex(), bytes.toHex());
}

QTEST_APPLESS_MAIN(TestBlowfishText)
#include "tst_blowfish_text.moc"
