#include "support/CaughtError.h"
#include "ReferenceBlowfish.h"

#include "crypto/basBlowfish.h"
#include "crypto/basUnsignedWord.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace basBlowfish;
using namespace basUnsignedWord;

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

// Our cipher over whole blocks, through the word pairs, in the big-endian layout of a block.
QByteArray cipherBlocks(const QByteArray& data, bool encipher)
{
    QByteArray output = data;
    for (qsizetype offset = 0; offset + 8 <= output.size(); offset += 8) {
        const auto byteAt = [&](qsizetype i) { return static_cast<std::uint8_t>(output[offset + i]); };
        std::uint32_t left = PackWord(byteAt(0), byteAt(1), byteAt(2), byteAt(3));
        std::uint32_t right = PackWord(byteAt(4), byteAt(5), byteAt(6), byteAt(7));
        if (encipher) {
            EncipherWordPair(left, right);
        } else {
            DecipherWordPair(left, right);
        }
        for (int half = 0; half < 2; ++half) {
            const auto bytes = UnpackWord(half == 0 ? left : right);
            for (int i = 0; i < 4; ++i) {
                output[offset + 4 * half + i] = static_cast<char>(bytes[i]);
            }
        }
    }
    return output;
}

bool tablesMatch(const referenceBlowfish::KeyedTables& expected)
{
    if (!std::equal(expected.pArray.begin(), expected.pArray.end(), PArray().begin())) {
        return false;
    }
    for (int box = 0; box < 4; ++box) {
        const auto expectedBox = expected.sBoxes.begin() + 256 * box;
        if (!std::equal(expectedBox, expectedBox + 256, SBoxes()[box].begin())) {
            return false;
        }
    }
    return true;
}

} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT

private slots:
    void wordOperations();
    void doubleToWord_data();
    void doubleToWord();
    void doubleToWordOverflow_data();
    void doubleToWordOverflow();
    void startingTablesAreTheDigitsOfPi();
    void publishedVectors_data();
    void publishedVectors();
    void matchesOpenSslOnRandomKeysAndBlocks();
    void setCipherKey_data();
    void setCipherKey();
    void shortKeyIsUsedCyclically_data();
    void shortKeyIsUsedCyclically();
    void expandKeyRefusesAnEmptyKey();
};

void TestBlowfish::wordOperations()
{
    QCOMPARE(PackWord(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    QCOMPARE(UnpackWord(0xA1B2C3D4), (std::array<std::uint8_t, 4>{0xA1, 0xB2, 0xC3, 0xD4}));
    QCOMPARE(ShiftLeft8(0xAABBCCDD), 0xBBCCDD00u);
    QCOMPARE(AddUnsigned(0xFFFFFFFF, 2), 1u);
    QCOMPARE(WordToDouble(0xFFFFFFFF), 4294967295.0);
}

void TestBlowfish::doubleToWord_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<quint32>("word");

    QTest::newRow("zero") << 0.0 << 0u;
    QTest::newRow("top bit") << 2147483648.0 << 0x80000000u;
    QTest::newRow("largest") << 4294967295.0 << 0xFFFFFFFFu;
    QTest::newRow("fraction rounds up") << 7.75 << 8u;
    QTest::newRow("half rounds to even") << 2.5 << 2u;
}

void TestBlowfish::doubleToWord()
{
    QFETCH(double, value);
    QFETCH(quint32, word);
    QCOMPARE(DoubleToWord(value), word);
}

void TestBlowfish::doubleToWordOverflow_data()
{
    QTest::addColumn<double>("value");

    QTest::newRow("negative") << -1.0;
    QTest::newRow("one past the largest") << 4294967296.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("not a number") << std::nan("");
}

void TestBlowfish::doubleToWordOverflow()
{
    QFETCH(double, value);
    const auto error = caughtError([&] { DoubleToWord(value); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::Overflow);
}

void TestBlowfish::startingTablesAreTheDigitsOfPi()
{
    LoadBlowfishTables();
    QCOMPARE(PArray().front(), 0x243F6A88u);
    QCOMPARE(PArray().back(), 0x8979FB1Bu);
    QCOMPARE(SBoxes()[0].front(), 0xD1310BA6u);
    QCOMPARE(SBoxes()[3].back(), 0x3AC372E6u);
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
    QCOMPARE(cipherBlocks(plain, true).toHex().toUpper(), cipher.toHex().toUpper());
    QCOMPARE(cipherBlocks(cipher, false).toHex().toUpper(), plain.toHex().toUpper());
}

void TestBlowfish::matchesOpenSslOnRandomKeysAndBlocks()
{
    QRandomGenerator random(RandomSeed);
    for (int trial = 0; trial < 200; ++trial) {
        const QByteArray key = randomBytes(random, random.bounded(1, MaxKeyBytes + 1));
        const QByteArray blocks = randomBytes(random, 8 * random.bounded(1, 5));
        const QByteArray context = "seed " + QByteArray::number(RandomSeed) + ", trial " + QByteArray::number(trial) +
                                   ", key " + key.toHex() + ", data " + blocks.toHex() + ": ";

        QVERIFY(SetCipherKey(key));
        QVERIFY2(tablesMatch(referenceBlowfish::keyedTables(key)), context + "key schedule differs");

        const QByteArray enciphered = cipherBlocks(blocks, true);
        QCOMPARE(context + enciphered.toHex(), context + referenceBlowfish::ecb(key, blocks, true).toHex());
        QCOMPARE(context + cipherBlocks(blocks, false).toHex(),
                 context + referenceBlowfish::ecb(key, blocks, false).toHex());
        QCOMPARE(context + cipherBlocks(enciphered, false).toHex(), context + blocks.toHex());
    }
}

void TestBlowfish::setCipherKey_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("empty") << 0 << false;
    QTest::newRow("1 byte") << 1 << true;
    QTest::newRow("56 bytes") << 56 << true;
    QTest::newRow("57 bytes") << 57 << false;
    QTest::newRow("72 bytes") << 72 << false;
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
    QVERIFY(tablesMatch(referenceBlowfish::keyedTables(accepted ? key : earlierKey)));
}

void TestBlowfish::shortKeyIsUsedCyclically_data()
{
    QTest::addColumn<QByteArray>("key");

    QTest::newRow("1 byte") << QByteArray("\x2A");
    QTest::newRow("3 bytes") << QByteArray("\x01\x80\xFF");
    QTest::newRow("13 bytes") << QByteArray("thirteen byte");
}

// The key bytes run as one stream over all 18 P-array words, starting again at the end of the key, so
// a key behaves like its own repetition.
void TestBlowfish::shortKeyIsUsedCyclically()
{
    QFETCH(QByteArray, key);

    const QByteArray repeated = key.repeated(MaxKeyBytes / key.size());
    QVERIFY(SetCipherKey(repeated));
    const PArrayTable pArray = PArray();
    const SBoxTables sBoxes = SBoxes();

    QVERIFY(SetCipherKey(key));
    QVERIFY(PArray() == pArray);
    QVERIFY(SBoxes() == sBoxes);
    QVERIFY(tablesMatch(referenceBlowfish::keyedTables(key)));
}

void TestBlowfish::expandKeyRefusesAnEmptyKey()
{
    const auto error = caughtError([] { ExpandKey(QByteArray()); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::InvalidArgument);
}

QTEST_APPLESS_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
