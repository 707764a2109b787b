#include "ReferenceBlowfish.h"
#include "support/CaughtError.h"

#include "domain/crypto/basBlowfish.h"
#include "domain/crypto/basBlowfishByteFns.h"
#include "domain/crypto/basConvert.h"
#include "domain/crypto/dsEncrypt.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace basBlowfish;
using namespace basBlowfishByteFns;
using basConvert::HexToBytes;

using Work = std::function<void()>;
Q_DECLARE_METATYPE(Work)

class TestCiphers : public QObject
{
    Q_OBJECT

private slots:

    // Keys of every length, short ones used cyclically, and data of 8 to 39 bytes, whose bytes after the last
    // whole block are dropped. Refused keys leave the key's tables in force.
    void matchesOpenSsl()
    {
        QRandomGenerator random(20240607);
        const auto randomBytes = [&random](int count) {
            QByteArray bytes(count, '\0');
            for (char& byte : bytes)
                byte = static_cast<char>(random.bounded(256));
            return bytes;
        };
        for (int trial = 0; trial < 200; ++trial) {
            const QByteArray key = randomBytes(trial == 0 ? 56 : random.bounded(1, 57)); // the longest key first
            const QByteArray data = randomBytes(random.bounded(8, 40));
            QVERIFY(SetCipherKey(key) && !SetCipherKey(QByteArray()) && !SetCipherKey(randomBytes(57)));
            const QByteArray context = "trial " + QByteArray::number(trial) + ": ";
            for (const bool encipher : {true, false})
                QCOMPARE(context + CipherBlocksEcb(data, encipher).toHex(),
                         context + referenceBlowfish::ecb(key, data, encipher).toHex());
        }
    }

    // The enciphered text is Blowfish ECB of the text followed by p = 1 to 8 padding bytes of value p: here every
    // byte value, in whole blocks and so followed by a block of padding, under an odd-length key text.
    void encryptText()
    {
        QString everyByte;
        for (int i = 0; i < 256; ++i)
            everyByte += QChar(i);
        const QString cipherText = EncryptText(everyByte, QStringLiteral("7"));
        const QByteArray padded = everyByte.toLatin1() + QByteArray(8, 8);
        QCOMPARE(cipherText.toLatin1().toHex(), referenceBlowfish::ecb(QByteArray(1, 7), padded, true).toHex());
        QCOMPARE(DecryptText(cipherText, QStringLiteral("7")), everyByte);
    }

    // Every stored name, link and password depends on the alphabet and the key: the pinned pair must never
    // change, whatever key string a caller sets.
    void fieldCipher()
    {
        QString everyCharacter = QStringLiteral("\n\r");
        for (char16_t c = u' '; c <= u'~'; ++c)
            everyCharacter += QChar(c);
        const QString enciphered = QStringLiteral("wDv\\2h1x6g%4I%:C~u@XZl\n113u:7ipdIMSIW)nv!3f~$TS?dE6RVe|Cs21ea+!p>"
                                                  "KZ0of+>HRFSjyAr)e6B:.]?tbD*9),jT");
        dsEncrypt cipher;
        cipher.setKeyString(QStringLiteral("a master password"));
        QCOMPARE(cipher.Encrypt2(everyCharacter), enciphered);
        QCOMPARE(cipher.Encrypt2(QString()), QString());

        // The cipher as the table look-up it stands for: for each character, the first row whose character at the text
        // character's place is the key character; that row's first character is the result.
        const QString everyPlace = everyCharacter.repeated(15); // every character under every key character
        const QString key = QStringLiteral("reppocdniwhtron");
        QString lookedUp;
        for (qsizetype i = 0; i < everyPlace.size(); ++i) {
            int row = 1;
            while (cipher.tableRow(row)[cipher.alphabet().indexOf(everyPlace[i])] != key[i % key.size()])
                ++row;
            lookedUp += cipher.tableRow(row).front();
        }
        const QString once = cipher.Encrypt2(everyPlace);
        QCOMPARE(once, lookedUp);
        QCOMPARE(cipher.Encrypt2(once), everyPlace);
        const QString longest(32767, QLatin1Char('x'));
        QCOMPARE(cipher.Encrypt2(cipher.Encrypt2(longest)), longest);
    }

    void errors_data()
    {
        QTest::addColumn<Work>("work");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("problem");

        const int invalid = ErrorNumber::InvalidArgument;
        const QString block(8, QLatin1Char('x'));
        QTest::newRow("empty key text") << Work([=] { DecryptText(block, QString()); }) << invalid << "empty";
        QTest::newRow("113 key characters: 57 key bytes")
            << Work([=] { DecryptText(block, QString(113, QLatin1Char('a'))); }) << invalid << "57 key bytes";

        const auto field = [](const QString& text) { return Work([=] { dsEncrypt().Encrypt2(text); }); };
        QTest::newRow("field: delete") << field("x\u007F") << invalid << "U+007F at position 2";
        QTest::newRow("field: character beyond 16 bits") << field("ok \U0001F600") << invalid << "U+1F600";
        QTest::newRow("field: one character too long")
            << field(QString(32768, QLatin1Char('x'))) << ErrorNumber::Overflow << "32768";
    }

    // An earlier key is in force: a refused key must fail, not go on with the earlier key's tables.
    void errors()
    {
        QFETCH(Work, work);
        QFETCH(int, number);
        QFETCH(QString, problem);
        QVERIFY(SetCipherKey("earlier key"));
        const auto error = caughtError(work);
        QCOMPARE(error ? error->number() : 0, number);
        QVERIFY2(error->description().contains(problem), qPrintable(error->description()));
    }

    void conversions_data()
    {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");

        const auto hex = [](const char* text) { return HexToBytes(QString::fromLatin1(text)).toHex(); };
        QTest::newRow("hex: odd length reads a leading 0, both cases") << hex("A0ff7F9") << QByteArray("0a0ff7f9");
        QTest::newRow("hex: a non-digit first gives 0, second keeps the first")
            << hex("g1G0Ag") << QByteArray("00000a");
        QTest::newRow("hex: blank, tab, line feed skipped; CR stops") << hex("\tA b\nC\r1") << QByteArray("0a0b0c00");

        QTest::newRow("unpad: a last byte above 8 is no padding")
            << RemoveBlockPadding("abcdefgh\x09") << QByteArray("abcdefgh\x09");
    }

    void conversions()
    {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_APPLESS_MAIN(TestCiphers)
#include "tst_ciphers.moc"
