#include "domain/crypto/DataKey.h"
#include "domain/error/AppError.h"

#include <QTest>

Q_DECLARE_METATYPE(StoredTextPlace)
Q_DECLARE_METATYPE(KeyDerivation)

namespace {

// The cheapest derivation libsodium allows, so that the tests do not spend seconds in it.
KeyDerivation cheap()
{
    return KeyDerivation::fresh(1, 8192);
}

const StoredTextPlace StepText{QStringLiteral("WebsiteInstructions"), QStringLiteral("TextToTypeIn"),
                               QStringLiteral("7")};

// The stored value with one byte of its decoded form changed by the function.
QString alteredValue(const QString& stored, const std::function<void(QByteArray&)>& change)
{
    const int prefix = stored.indexOf(u':') + 1;
    QByteArray bytes = QByteArray::fromBase64(stored.mid(prefix).toLatin1(), QByteArray::Base64UrlEncoding);
    change(bytes);
    return stored.left(prefix) +
           QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace

class TestDataKey : public QObject
{
    Q_OBJECT

private slots:
    // XChaCha20-Poly1305: draft-irtf-cfrg-xchacha-03, appendix A.3.1.
    void cipherKnownAnswer()
    {
        const QByteArray key = QByteArray::fromHex("808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f");
        const QByteArray nonce = QByteArray::fromHex("404142434445464748494a4b4c4d4e4f5051525354555657");
        const QByteArray plain = "Ladies and Gentlemen of the class of '99: If I could offer you only one tip for "
                                 "the future, sunscreen would be it.";
        const QByteArray expected = QByteArray::fromHex(
            "bd6d179d3e83d43b9576579493c0e939572a1700252bfaccbed2902c21396cbb731c7f1b0b4aa6440bf3a82f4eda7e39ae64c6708c"
            "54c216cb96b72e1213b4522f8c9ba40db5d945b11b69b982c1bb9e3f3fac2bc369488f76b2383565d3fff921f9664c97637da976"
            "8812f615c68b13b52ec0875924c1c7987947deafd8780acf49");
        QCOMPARE(DataKey::encipherWithNonce(key, nonce, plain, QByteArray::fromHex("50515253c0c1c2c3c4c5c6c7")),
                 nonce + expected);
    }

    // Argon2id: libsodium's own vector (tests/default/pwhash_argon2id.c): an empty password, m=4882 KiB, t=2.
    void derivationKnownAnswer()
    {
        const KeyDerivation derivation{QByteArray::fromBase64("bA81arsiXysd3WbTRzmEOw"), 2, 4882 * 1024};
        const SecretBytes key = DataKey::derive({}, derivation);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(key.data()), 32),
                 QByteArray::fromBase64("Nm8QBM+7RH1DXo9rvp5cwKEOOOfD2g6JuxlXihoNcpE"));
    }

    void textsComeBackOnlyAtTheirPlace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("password") << QStringLiteral("pa'ss\"wörd 🙂");
        QTest::newRow("empty") << QString();
        QTest::newRow("long") << QString(32767, u'x');
    }
    void textsComeBackOnlyAtTheirPlace()
    {
        QFETCH(QString, text);
        const DataKey key = DataKey::generate();
        const QString stored = key.conceal(StepText, text);
        QVERIFY(DataKey::looksProtected(stored));
        QCOMPARE(key.reveal(StepText, stored).value_or(QStringLiteral("refused")), text);
        QVERIFY2(key.conceal(StepText, text) != stored, "every value has a fresh nonce");
        if (!text.isEmpty())
            QVERIFY(!stored.contains(text));
        const StoredTextPlace named{"DesktopPermission", "PermissionToken", "Zugriff für Ä"};
        QCOMPARE(key.reveal(named, key.conceal(named, text)), text);
        QVERIFY(!key.reveal({named.table, named.column, "Zugriff für A"}, key.conceal(named, text)));
    }

    // Values altered in their bytes are the fuzzer's (fuzz/fuzz_protected_text.cpp) and the protected file's test.
    void alteredOrMovedValuesAreRefused_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<StoredTextPlace>("place");
        const QString stored = m_key.conceal(StepText, QStringLiteral("secret"));
        auto at = [](QString table, QString column, QString row) { return StoredTextPlace{table, column, row}; };
        QTest::newRow("other row") << stored << at(StepText.table, StepText.column, QStringLiteral("8"));
        QTest::newRow("other column") << stored << at(StepText.table, QStringLiteral("WebsiteName"), StepText.rowKey);
        QTest::newRow("other table") << stored << at(QStringLiteral("Website"), StepText.column, StepText.rowKey);
        QTest::newRow("row key run into column") << stored << at(StepText.table, StepText.column + '7', QString());
        QTest::newRow("other key") << DataKey::generate().conceal(StepText, QStringLiteral("secret")) << StepText;
        QTest::newRow("field cipher form") << QStringLiteral("Jb3!x") << StepText;
        // "secret" seals to 46 bytes: the last two digits hold one byte and four bits to spare
        const QString digits = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_");
        const QChar spareBitSet = digits.at(digits.indexOf(stored.back()) | 1);
        QTest::newRow("spare bit set") << stored.chopped(1) + spareBitSet << StepText;
        QTest::newRow("padded") << stored + "==" << StepText;
        QTest::newRow("blank inside") << QString(stored).insert(10, u' ') << StepText;
        QTest::newRow("last digit cut") << stored.chopped(1) << StepText;
    }
    void alteredOrMovedValuesAreRefused()
    {
        QFETCH(QString, stored);
        QFETCH(StoredTextPlace, place);
        QCOMPARE(m_key.reveal(place, stored), std::nullopt);
    }

    void theWrappedKeyOpensOnlyWithItsPassword()
    {
        const KeyDerivation derivation = cheap();
        const DataKey key = DataKey::generate();
        const QString value = key.conceal(StepText, QStringLiteral("secret"));
        const QString wrapped = key.wrap(QStringLiteral("Mäster"), derivation);

        const std::optional<DataKey> opened = DataKey::unwrap(wrapped, QStringLiteral("Mäster"), derivation);
        QVERIFY(opened);
        QCOMPARE(opened->reveal(StepText, value), QStringLiteral("secret"));

        KeyDerivation otherSalt = derivation;
        otherSalt.salt[0] = char(otherSalt.salt[0] ^ 1);
        QVERIFY(!DataKey::unwrap(wrapped, QStringLiteral("master"), derivation));
        QVERIFY(!DataKey::unwrap(wrapped, QStringLiteral("Mäster"), otherSalt));
        QVERIFY(!DataKey::unwrap(alteredValue(wrapped, [](QByteArray& b) { b[40] = char(b[40] ^ 4); }),
                                 QStringLiteral("Mäster"), derivation));
        QVERIFY(!DataKey::unwrap(wrapped.left(wrapped.size() - 3), QStringLiteral("Mäster"), derivation));
        QVERIFY(!DataKey::unwrap(QString(), QStringLiteral("Mäster"), derivation));
    }

    void aDamagedDerivationIsNamed_data()
    {
        QTest::addColumn<KeyDerivation>("derivation");
        const KeyDerivation good = cheap();
        QTest::newRow("short salt") << KeyDerivation{good.salt.left(15), 1, 8192};
        QTest::newRow("no passes") << KeyDerivation{good.salt, 0, 8192};
        QTest::newRow("too many passes") << KeyDerivation{good.salt, 11, 8192};
        QTest::newRow("too little memory") << KeyDerivation{good.salt, 1, 8191};
        QTest::newRow("too much memory") << KeyDerivation{good.salt, 1, (quint64(1) << 30) + 1};
    }
    void aDamagedDerivationIsNamed()
    {
        QFETCH(KeyDerivation, derivation);
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 DataKey::unwrap(QStringLiteral("qk1:AAAA"), QStringLiteral("pw"), derivation));
    }

private:
    const DataKey m_key = DataKey::generate();
};

QTEST_GUILESS_MAIN(TestDataKey)
#include "tst_data_key.moc"
