#include "support/CaughtError.h"

#include "domain/crypto/basBlowfish.h"

#include <QTest>

using namespace basBlowfish;

// Runs in a process of its own, where no key is ever set: without tables the cipher must refuse to work.
class TestBlowfishUnkeyed : public QObject
{
    Q_OBJECT

private slots:

    void cipheringWithoutAKeyFails()
    {
        QVERIFY(!SetCipherKey(QByteArray()) && !SetCipherKey(QByteArray(57, 'k'))); // refused keys set no tables
        const auto refused = [](auto work) {
            const auto error = caughtError(work);
            return error && error->number() == ErrorNumber::SubscriptOutOfRange;
        };
        std::uint32_t left = 1, right = 2;
        QVERIFY(refused([] { RoundFunction(0x01020304); }));
        QVERIFY(refused([&] { EncipherWordPair(left, right); }));
        QVERIFY(refused([&] { DecipherWordPair(left, right); }));
    }
};

QTEST_APPLESS_MAIN(TestBlowfishUnkeyed)
#include "tst_blowfish_unkeyed.moc"
