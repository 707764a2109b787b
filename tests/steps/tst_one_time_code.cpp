// One-time codes: RFC 6238's vectors, and the secrets a site shows (Base32 or an otpauth link). The replay that types
// them is the launch tests'.

#include "domain/steps/OneTimeCode.h"

#include <QTest>

namespace {

// The RFC's seeds (ASCII digits) in Base32, for SHA-1, SHA-256 and SHA-512.
const QString Sha1Seed = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");
const QString Sha256Seed = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA");
const QString Sha512Seed = QStringLiteral(
    "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNA=");

OneTimeCode secret(const QString& text)
{
    const auto parsed = OneTimeCode::fromText(text);
    if (const QString* problem = std::get_if<QString>(&parsed))
        qFatal("the secret %s: %s", qPrintable(text), qPrintable(*problem));
    return std::get<OneTimeCode>(parsed);
}

} // namespace

class TestOneTimeCode : public QObject
{
    Q_OBJECT

private slots:
    // RFC 6238, appendix B: eight digits at the RFC's times, for each algorithm.
    void knownAnswers_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<QString>("code");
        const QString link = QStringLiteral("otpauth://totp/RFC?secret=%1&algorithm=%2&digits=8");
        const struct
        {
            qint64 time;
            const char* codes[3];
        } vectors[] = {
            {59, {"94287082", "46119246", "90693936"}},         {1111111109, {"07081804", "68084774", "25091201"}},
            {1111111111, {"14050471", "67062674", "99943326"}}, {1234567890, {"89005924", "91819424", "93441116"}},
            {2000000000, {"69279037", "90698825", "38618901"}}, {20000000000, {"65353130", "77737706", "47863826"}}};
        for (const auto& vector : vectors) {
            QTest::addRow("SHA1 at %lld", vector.time) << link.arg(Sha1Seed, "SHA1") << vector.time << vector.codes[0];
            QTest::addRow("SHA256 at %lld", vector.time)
                << link.arg(Sha256Seed, "SHA256") << vector.time << vector.codes[1];
            QTest::addRow("SHA512 at %lld", vector.time)
                << link.arg(Sha512Seed, "sha512") << vector.time << vector.codes[2];
        }
    }
    void knownAnswers()
    {
        QFETCH(QString, link);
        QFETCH(qint64, time);
        QFETCH(QString, code);
        QCOMPARE(secret(link).codeAt(time), code);
    }

    // What a site shows is taken as it is typed; what cannot give codes is named.
    void secretsAsSitesShowThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outcome"); // the code at 119 s, or the problem
        const QString code = secret(Sha1Seed).codeAt(119);
        QTest::newRow("Base32") << Sha1Seed << code;
        QTest::newRow("lower case, in groups, padded") << "gezd gnbv gy3t qojq gezd gnbv gy3t qojq===" << code;
        QTest::newRow("link with issuer and defaults")
            << "otpauth://totp/Bank:alice?issuer=Bank&secret=" + Sha1Seed << code;
        // at 119 s a period of 60 s counts 1, as 30 s do at 59 s: the RFC's 94287082, to seven digits
        QTest::newRow("link, 7 digits, 60 s") << "otpauth://totp/x?secret=" + Sha1Seed + "&digits=7&period=60"
                                              << "4287082";
        QTest::newRow("empty") << "  "
                               << "holds no secret.";
        QTest::newRow("bad character") << "GEZD1GNB"
                                       << "holds the character \"1\", which Base32 does not use (it uses "
                                          "A to Z and 2 to 7).";
        QTest::newRow("link without secret") << "otpauth://totp/x?digits=6"
                                             << "is a link without its secret.";
        QTest::newRow("unknown algorithm") << "otpauth://totp/x?secret=GEZD&algorithm=MD5"
                                           << "names the algorithm \"MD5\"; Quillock knows SHA1, SHA256 and SHA512.";
        QTest::newRow("5 digits") << "otpauth://totp/x?secret=GEZD&digits=5"
                                  << "gives digits as \"5\"; it must be a whole number from 6 to 8.";
        QTest::newRow("9 digits") << "otpauth://totp/x?secret=GEZD&digits=9"
                                  << "gives digits as \"9\"; it must be a whole number from 6 to 8.";
        QTest::newRow("period 0") << "otpauth://totp/x?secret=GEZD&period=0"
                                  << "gives period as \"0\"; it must be a whole number from 5 to 3600.";
        QTest::newRow("counter-based") << "otpauth://hotp/x?secret=GEZD&counter=1"
                                       << "is a link of \"hotp\" codes; Quillock types time-based (totp) codes only.";
    }
    void secretsAsSitesShowThem()
    {
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        const auto parsed = OneTimeCode::fromText(text);
        if (const QString* problem = std::get_if<QString>(&parsed)) {
            QCOMPARE(*problem, outcome);
            return;
        }
        QCOMPARE(std::get<OneTimeCode>(parsed).codeAt(119), outcome);
    }
};

QTEST_GUILESS_MAIN(TestOneTimeCode)
#include "tst_one_time_code.moc"
