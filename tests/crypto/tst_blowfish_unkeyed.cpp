#include "support/CaughtError.h"

#include "crypto/basBlowfish.h"

#include <QTest>

#include <functional>

using namespace basBlowfish;

// Runs in a process of its own: until a key is set, the cipher has no tables and must refuse to work.
// No function here sets a key.
class TestBlowfishUnkeyed : public QObject
{
    Q_OBJECT

private slots:
    void cipheringWithoutAKeyFails_data();
    void cipheringWithoutAKeyFails();
};

using Work = std::function<void()>;
Q_DECLARE_METATYPE(Work)

void TestBlowfishUnkeyed::cipheringWithoutAKeyFails_data()
{
    QTest::addColumn<QByteArray>("refusedKey"); // tried first; it must not end the unkeyed state
    QTest::addColumn<Work>("work");

    QTest::newRow("RoundFunction") << QByteArray() << Work([] { RoundFunction(0x01020304); });
    QTest::newRow("EncipherWordPair") << QByteArray(57, 'k') << Work([] {
        std::uint32_t left = 1, right = 2;
        EncipherWordPair(left, right);
    });
    QTest::newRow("DecipherWordPair") << QByteArray() << Work([] {
        std::uint32_t left = 1, right = 2;
        DecipherWordPair(left, right);
    });
}

void TestBlowfishUnkeyed::cipheringWithoutAKeyFails()
{
    QFETCH(QByteArray, refusedKey);
    QFETCH(Work, work);

    QVERIFY(!SetCipherKey(refusedKey));
    const auto error = caughtError(work);
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::SubscriptOutOfRange);
}

QTEST_APPLESS_MAIN(TestBlowfishUnkeyed)
#include "tst_blowfish_unkeyed.moc"
