#include "support/CaughtError.h"

#include "crypto/basBlowfish.h"
#include "crypto/basBlowfishByteFns.h"

#include <QTest>

#include <functional>

using namespace basBlowfish;

// Runs in a process of its own: until a key is set, the cipher has no tables and must refuse to work.
// The functions run in the order declared; only the last one sets a key.
class TestBlowfishUnkeyed : public QObject
{
    Q_OBJECT

private slots:
    void cipheringWithoutAKeyFails_data();
    void cipheringWithoutAKeyFails();
    void refusedKeysLeaveTheCipherUnkeyed_data();
    void refusedKeysLeaveTheCipherUnkeyed();
    void aKeyEndsTheUnkeyedState();
};

using Work = std::function<void()>;
Q_DECLARE_METATYPE(Work)

void TestBlowfishUnkeyed::cipheringWithoutAKeyFails_data()
{
    QTest::addColumn<Work>("work");

    QTest::newRow("RoundFunction") << Work([] { RoundFunction(0x01020304); });
    QTest::newRow("EncipherWordPair") << Work([] {
        std::uint32_t left = 1, right = 2;
        EncipherWordPair(left, right);
    });
    QTest::newRow("DecipherWordPair") << Work([] {
        std::uint32_t left = 1, right = 2;
        DecipherWordPair(left, right);
    });
    QTest::newRow("EncryptBytes") << Work([] { basBlowfishByteFns::EncryptBytes("some data"); });
}

void TestBlowfishUnkeyed::cipheringWithoutAKeyFails()
{
    QFETCH(Work, work);
    const auto error = caughtError(work);
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
}

void TestBlowfishUnkeyed::refusedKeysLeaveTheCipherUnkeyed_data()
{
    QTest::addColumn<QByteArray>("key");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("57 bytes") << QByteArray(57, 'k');
}

void TestBlowfishUnkeyed::refusedKeysLeaveTheCipherUnkeyed()
{
    QFETCH(QByteArray, key);
    QVERIFY(!SetCipherKey(key));

    std::uint32_t left = 1, right = 2;
    const auto error = caughtError([&] { EncipherWordPair(left, right); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
}

void TestBlowfishUnkeyed::aKeyEndsTheUnkeyedState()
{
    QVERIFY(SetCipherKey("key"));
    std::uint32_t left = 1, right = 2;
    EncipherWordPair(left, right);
    DecipherWordPair(left, right);
    QCOMPARE(left, 1u);
    QCOMPARE(right, 2u);
}

QTEST_APPLESS_MAIN(TestBlowfishUnkeyed)
#include "tst_blowfish_unkeyed.moc"
