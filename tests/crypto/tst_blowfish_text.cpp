#include "support/CaughtError.h"
#include "ReferenceBlowfish.h"

#include "crypto/basBlowfish.h"
#include "crypto/basBlowfishByteFns.h"
#include "crypto/basConvert.h"

#include <QTest>

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

QByteArray bytesOf(const QString& text)
{
    return text.toLatin1();
}

} // namespace

class TestBlowfishText : public QObject
{
    Q_OBJECT

private slots:
    void paddingFillsTheLastBlock_data();
    void paddingFillsTheLastBlock();
    void roundTripOfAllByteValues_data();
    void roundTripOfAllByteValues();
    void decryptTextKeepsUnknownPadding_data();
    void decryptTextKeepsUnknownPadding();
    void decryptTextOfLessThanABlockFails_data();
    void decryptTextOfLessThanABlockFails();
    void refusedKeyFails_data();
    void refusedKeyFails();
    void textOutsideLatin1Fails();
    void removeBlockPadding_data();
    void removeBlockPadding();
    void cipherBlocksEcbDropsAPartialBlock();
    void hexToBytes_data();
    void hexToBytes();
    void passwordCheckFile_data();
    void passwordCheckFile();
};

void TestBlowfishText::paddingFillsTheLastBlock_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("enciphered");
    QTest::addColumn<int>("padding");

    QTest::newRow("empty") << 0 << 8 << 8;
    QTest::newRow("7 bytes") << 7 << 8 << 1;
    QTest::newRow("8 bytes") << 8 << 16 << 8;
    QTest::newRow("13 bytes") << 13 << 16 << 3;
}

void TestBlowfishText::paddingFillsTheLastBlock()
{
    QFETCH(int, length);
    QFETCH(int, enciphered);
    QFETCH(int, padding);

    const QString text = byteText(length);
    const QString cipherText = EncryptText(text, KeyText);
    QCOMPARE(cipherText.size(), enciphered);

    // The raw blocks, deciphered without removing anything: the text, then the padding bytes.
    const QByteArray raw = CipherBlocksEcb(bytesOf(cipherText), false);
    QCOMPARE(raw, bytesOf(text) + QByteArray(padding, static_cast<char>(padding)));
    QCOMPARE(DecryptText(cipherText, KeyText), text);
}

void TestBlowfishText::roundTripOfAllByteValues_data()
{
    QTest::addColumn<QString>("keyText");

    QTest::newRow("1-byte key") << QStringLiteral("7");
    QTest::newRow("hex key") << KeyText;
    QTest::newRow("password as key") << QStringLiteral("Correct horse, battery staple!");
    QTest::newRow("112-character key") << QString(112, QLatin1Char('f'));
}

void TestBlowfishText::roundTripOfAllByteValues()
{
    QFETCH(QString, keyText);

    const QString text = byteText(256);
    const QString cipherText = EncryptText(text, keyText);
    QCOMPARE(cipherText.size(), 264);
    QVERIFY(cipherText != text);
    QCOMPARE(DecryptText(cipherText, keyText), text);
}

void TestBlowfishText::decryptTextKeepsUnknownPadding_data()
{
    QTest::addColumn<char>("lastByte");

    QTest::newRow("last byte 0") << '\0';
    QTest::newRow("last byte 9") << '\x09';
    QTest::newRow("last byte 255") << '\xFF';
}

// A last deciphered byte that is no padding length leaves the deciphered bytes whole.
void TestBlowfishText::decryptTextKeepsUnknownPadding()
{
    QFETCH(char, lastByte);

    const QByteArray plain = QByteArray("sixteen bytes..") + lastByte;
    QVERIFY(basBlowfish::SetCipherKey(HexToBytes(KeyText)));
    const QByteArray enciphered = CipherBlocksEcb(plain, true);
    QCOMPARE(DecryptText(QString::fromLatin1(enciphered), KeyText), QString::fromLatin1(plain));
}

void TestBlowfishText::decryptTextOfLessThanABlockFails_data()
{
    QTest::addColumn<int>("length");

    QTest::newRow("empty") << 0;
    QTest::newRow("1 byte") << 1;
    QTest::newRow("7 bytes") << 7;
}

void TestBlowfishText::decryptTextOfLessThanABlockFails()
{
    QFETCH(int, length);

    const auto error = caughtError([&] { DecryptText(byteText(length), KeyText); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
    QVERIFY2(error->description().contains(QStringLiteral("shorter than one 8-byte block")),
             qPrintable(error->description()));
}

void TestBlowfishText::refusedKeyFails_data()
{
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<QString>("problem");

    QTest::newRow("empty") << QString() << QStringLiteral("empty");
    QTest::newRow("113 characters") << QString(113, QLatin1Char('a')) << QStringLiteral("57 key bytes");
    QTest::newRow("114 characters") << QString(114, QLatin1Char('a')) << QStringLiteral("57 key bytes");
}

// Going on with the tables of an earlier key would give a result no key reproduces; both entry points
// refuse instead.
void TestBlowfishText::refusedKeyFails()
{
    QFETCH(QString, keyText);
    QFETCH(QString, problem);

    const QString cipherText = EncryptText(QStringLiteral("text"), KeyText);
    for (const auto& work : {std::function<void()>([&] { EncryptText(QStringLiteral("text"), keyText); }),
                             std::function<void()>([&] { DecryptText(cipherText, keyText); })}) {
        const auto error = caughtError(work);
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::InvalidArgument);
        QVERIFY2(error->description().contains(problem), qPrintable(error->description()));
    }
}

void TestBlowfishText::textOutsideLatin1Fails()
{
    const auto error = caughtError([] { EncryptText(QStringLiteral("pay 5 \u20AC"), KeyText); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::InvalidArgument);
    QCOMPARE(error->description(),
             QStringLiteral("The text holds the character U+20AC at position 7, which has no byte in the Latin-1 "
                            "code page."));
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
    QVERIFY(basBlowfish::SetCipherKey(HexToBytes(KeyText)));
    const QByteArray data = bytesOf(byteText(20));

    const QByteArray enciphered = CipherBlocksEcb(data, true);
    QCOMPARE(enciphered, CipherBlocksEcb(data.left(16), true));
    QCOMPARE(enciphered.size(), 16);
    QCOMPARE(CipherBlocksEcb(enciphered + "tail", false), data.left(16));

    const auto error = caughtError([&] { CipherBlocksEcb(data.left(7), true); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
}

void TestBlowfishText::hexToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("digit pairs, both cases") << QStringLiteral("00ff7Fa0") << QByteArray::fromHex("00FF7FA0");
    QTest::newRow("odd length reads a leading 0") << QStringLiteral("ABC") << QByteArray::fromHex("0ABC");
    QTest::newRow("no digit gives 0") << QStringLiteral("zz") << QByteArray::fromHex("00");
    QTest::newRow("non-digit first stops the pair") << QStringLiteral("g1") << QByteArray::fromHex("00");
    QTest::newRow("non-digit second keeps the first") << QStringLiteral("Ag") << QByteArray::fromHex("0A");
    QTest::newRow("blank, tab and line feed skipped") << QStringLiteral("\tA b\nC") << QByteArray::fromHex("0A0B0C");
    QTest::newRow("two blanks give 0") << QStringLiteral("  ") << QByteArray::fromHex("00");
    QTest::newRow("carriage return stops the pair") << QStringLiteral("\r1") << QByteArray::fromHex("00");
    QTest::newRow("letter beyond F") << QStringLiteral("G0") << QByteArray::fromHex("00");
    QTest::newRow("non-ASCII character") << QStringLiteral("\u00E91") << QByteArray::fromHex("00");
    QTest::newRow("password") << QStringLiteral("Secret42") << QByteArray::fromHex("000C0E42");
}

void TestBlowfishText::hexToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexToBytes(text).toHex(), bytes.toHex());
}

void TestBlowfishText::passwordCheckFile_data()
{
    QTest::addColumn<QString>("password");

    const QString characters = QStringLiteral("Tr0ub4dor&3 cafe:42!");
    for (int n = 1; n <= characters.size(); ++n) {
        QTest::addRow("%d characters", n) << characters.left(n);
    }
}

// The check file holds the password and a line break, enciphered under the password itself. Its size
// follows from the padding, and its bytes are plain Blowfish ECB with the padding p bytes of value p.
void TestBlowfishText::passwordCheckFile()
{
    QFETCH(QString, password);

    const QString contents = EncryptText(password + QStringLiteral("\r\n"), password);
    const qsizetype n = password.size();
    QCOMPARE(contents.size(), 8 * ((n + 2) / 8 + 1));

    QByteArray padded = bytesOf(password) + "\r\n";
    const char padding = static_cast<char>(8 - padded.size() % 8);
    padded += QByteArray(padding, padding);
    QCOMPARE(bytesOf(contents).toHex(), referenceBlowfish::ecb(HexToBytes(password), padded, true).toHex());

    QCOMPARE(DecryptText(contents, password), password + QStringLiteral("\r\n"));
}

QTEST_APPLESS_MAIN(TestBlowfishText)
#include "tst_blowfish_text.moc"
