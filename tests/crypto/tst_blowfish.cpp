#include "ReferenceBlowfish.h"
#include "support/CaughtError.h"

#include "crypto/basBlowfish.h"
#include "crypto/basBlowfishByteFns.h"
#include "crypto/basUnsignedWord.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace basBlowfish;
using namespace basUnsignedWord;
using basBlowfishByteFns::CipherBlocksEcb;

namespace {

constexpr quint32 RandomSeed = 20240607;

QByteArray randomBytes(QRandomGenerator& random, int count)
{
    QByteArray bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// The tables in force, in the reference's layout.
referenceBlowfish::KeyedTables tablesInForce()
{
    referenceBlowfish::KeyedTables tables{};
    std::copy(PArray().begin(), PArray().end(), tables.pArray.begin());
    for (int box = 0; box < 4; ++box) {
        std::copy(SBoxes()[box].begin(), SBoxes()[box].end(), tables.sBoxes.begin() + 256 * box);
    }
    return tables;
}

} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT

private slots:
    void wordToDouble();
    void doubleToWord_data();
    void doubleToWord();
    void publishedVectors_data();
    void publishedVectors();
    void matchesOpenSslOnRandomKeysAndBlocks();
    void setCipherKey_data();
    void setCipherKey();
    void expandKeyRefusesAnEmptyKey();
};

void TestBlowfish::wordToDouble()
{
    QCOMPARE(WordToDouble(0xFFFFFFFF), 4294967295.0);
}

// A word of -1 stands for an Overflow error.
void TestBlowfish::doubleToWord_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("word");

    QTest::newRow("zero") << 0.0 << qint64{0};
    QTest::newRow("largest") << 4294967295.0 << qint64{0xFFFFFFFF};
    QTest::newRow("fraction rounds up") << 7.75 << qint64{8};
    QTest::newRow("half rounds to even") << 2.5 << qint64{2};
    QTest::newRow("negative") << -1.0 << qint64{-1};
    QTest::newRow("one past the largest") << 4294967296.0 << qint64{-1};
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << qint64{-1};
    QTest::newRow("not a number") << std::nan("") << qint64{-1};
}

void TestBlowfish::doubleToWord()
{
    QFETCH(double, value);
    QFETCH(qint64, word);

    std::uint32_t result = 0;
    const auto error = caughtError([&] { result = DoubleToWord(value); });
    if (word < 0) {
        QVERIFY(error);
        QCOMPARE(error->number(), ErrorNumber::Overflow);
    } else {
        QVERIFY(!error);
        QCOMPARE(qint64{result}, word);
    }
}

void TestBlowfish::publishedVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");

    // Eric Young's ECB vectors, 8-byte keys.
    const char* const fixedKeyVectors[][3] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    };
    for (const auto& [key, plain, cipher] : fixedKeyVectors) {
        QTest::addRow("key %s", key) << QByteArray::fromHex(key) << QByteArray::fromHex(plain)
                                     << QByteArray::fromHex(cipher);
    }

    // The variable-key-length set: the first 1 to 24 bytes of one key, one plain block.
    const QByteArray longKey = QByteArray::fromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
    const char* const variableKeyCiphers[] = {
        "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05", "B39E44481BDB1E6E",
        "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0",
        "3A833C9AFFC537F6", "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
        "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
        "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
    };
    for (int length = 1; length <= 24; ++length) {
        QTest::addRow("%d-byte key", length) << longKey.left(length) << QByteArray::fromHex("FEDCBA9876543210")
                                             << QByteArray::fromHex(variableKeyCiphers[length - 1]);
    }
}

void TestBlowfish::publishedVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);

    QVERIFY(SetCipherKey(key));
    QCOMPARE(CipherBlocksEcb(plain, true).toHex(), cipher.toHex());
    QCOMPARE(CipherBlocksEcb(cipher, false).toHex(), plain.toHex());
}

// Random key lengths cover short keys, whose bytes are used cyclically over the P-array.
void TestBlowfish::matchesOpenSslOnRandomKeysAndBlocks()
{
    QRandomGenerator random(RandomSeed);
    for (int trial = 0; trial < 200; ++trial) {
        const QByteArray key = randomBytes(random, random.bounded(1, MaxKeyBytes + 1));
        const QByteArray blocks = randomBytes(random, 8 * random.bounded(1, 5));
        const QByteArray context = "seed " + QByteArray::number(RandomSeed) + ", trial " + QByteArray::number(trial) +
                                   ", key " + key.toHex() + ", data " + blocks.toHex() + ": ";

        QVERIFY(SetCipherKey(key));
        QVERIFY2(tablesInForce() == referenceBlowfish::keyedTables(key), context + "key schedule differs");

        const QByteArray enciphered = CipherBlocksEcb(blocks, true);
        QCOMPARE(context + enciphered.toHex(), context + referenceBlowfish::ecb(key, blocks, true).toHex());
        QCOMPARE(context + CipherBlocksEcb(blocks, false).toHex(),
                 context + referenceBlowfish::ecb(key, blocks, false).toHex());
        QCOMPARE(context + CipherBlocksEcb(enciphered, false).toHex(), context + blocks.toHex());
    }
}

void TestBlowfish::setCipherKey_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("empty") << 0 << false;
    QTest::newRow("56 bytes") << 56 << true;
    QTest::newRow("57 bytes") << 57 << false;
}

// An accepted key gives OpenSSL's key schedule; a refused one leaves the earlier key's tables in force.
void TestBlowfish::setCipherKey()
{
    QFETCH(int, length);
    QFETCH(bool, accepted);

    const QByteArray earlierKey = QByteArrayLiteral("earlier key");
    QVERIFY(SetCipherKey(earlierKey));

    QRandomGenerator random(RandomSeed + length);
    const QByteArray key = randomBytes(random, length);
    QCOMPARE(SetCipherKey(key), accepted);
    QVERIFY(tablesInForce() == referenceBlowfish::keyedTables(accepted ? key : earlierKey));
}

void TestBlowfish::expandKeyRefusesAnEmptyKey()
{
    const auto error = caughtError([] { ExpandKey(QByteArray()); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::InvalidArgument);
}

QTEST_APPLESS_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
