// One-time codes: RFC 6238's vectors, the secrets a site shows (Base32 or an otpauth link), and a replay from a real
// data file into the recording key sender that types the code of a clock the test sets; a website's pause between
// keys, and a stop during a paced text.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "domain/steps/OneTimeCode.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchControl.h"
#include "system/launch/ReplayClock.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

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

QString typedText(const Keys::RecordingKeySender& keys)
{
    QString text;
    for (const Keys::KeyStroke& stroke : keys.strokes())
        text += stroke.key == Keys::Key::Character ? QString::fromUcs4(&stroke.character, 1)
                : stroke.key == Keys::Key::Enter   ? QStringLiteral("{ENTER}")
                                                   : QStringLiteral("{?}");
    return text;
}

} // namespace

class TestOneTimeCode : public QObject
{
    Q_OBJECT

    struct Launch
    {
        TempDataFolder folder;
        Keys::RecordingKeySender keys;
        Desktop::RecordingShell shell;
        ScriptedDialogs dialogs;
        QTimer tmrWait;

        // Website 1 with its pause, and steps of (event type, plain text); the one-time code type is the sixth of a
        // new data file.
        explicit Launch(const QList<std::pair<int, QString>>& steps, int pauseMilliseconds = 0)
        {
            gobjEncrypt = std::make_unique<dsEncrypt>();
            QObject::connect(&tmrWait, &QTimer::timeout, &tmrWait, [this] { tmrWait_Timer(tmrWait); });
            QStringList statements{QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink, "
                                                  "KeyPauseMilliseconds) VALUES ('n', 'l', %1)")
                                       .arg(pauseMilliseconds)};
            for (const auto& [type, text] : steps)
                statements << QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, TextToTypeIn) "
                                             "VALUES (1, %1, %2)")
                                  .arg(type)
                                  .arg(text.isEmpty() ? QStringLiteral("Null")
                                                      : QuotedValue(gobjEncrypt->Encrypt2(text)));
            folder.execute(statements);
        }
        void run() { ReplayWebsite(tmrWait, QStringLiteral("1"), QStringLiteral("https://x.test/"), nullptr); }
    };

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

    // The code of the moment it is typed, after the steps before it; near the end of its period, the next one.
    void replayTypesTheCodeOfItsMoment_data()
    {
        QTest::addColumn<qint64>("msIntoPeriod");
        QTest::addColumn<qint64>("codeTime"); // seconds
        const qint64 period = 1111111080;     // a multiple of 30 s
        QTest::newRow("early in its period") << qint64(10000) << period + 10;
        QTest::newRow("less than 3 s before its end") << qint64(27500) << period + 30;
    }
    void replayTypesTheCodeOfItsMoment()
    {
        QFETCH(qint64, msIntoPeriod);
        QFETCH(qint64, codeTime);
        Launch launch({{1, "alice"}, {6, Sha1Seed}, {2, {}}});
        const ReplayClockForTest clock(1111111080 * qint64(1000) + msIntoPeriod);
        launch.run();
        QCOMPARE(launch.dialogs.messageTexts(), QStringList());
        QCOMPARE(typedText(launch.keys), "alice" + secret(Sha1Seed).codeAt(codeTime) + "{ENTER}");
    }

    // A secret that gives no codes stops the launch before anything opens.
    void aSecretWithoutCodesIsRefusedBeforeTheLaunch()
    {
        Launch launch({{1, "alice"}, {6, "otpauth://totp/x?secret=GEZD&digits=9"}});
        launch.run();
        QCOMPARE(
            launch.dialogs.messageTexts(),
            QStringList{"The one-time code secret of step 2 gives digits as \"9\"; it must be a whole number from 6 "
                        "to 8. Nothing was typed."});
        QVERIFY(launch.keys.calls.empty() && launch.shell.starts.empty());
    }

    // Every key but the first waits the website's pause; a stop ends a long paced text at once.
    void aPacedWebsiteWaitsBetweenKeysAndStops()
    {
        Launch launch({{1, "abcd"}, {2, {}}}, 50);
        QElapsedTimer clock;
        QList<qint64> sentAt;
        launch.keys.afterSend = [&] { sentAt << clock.elapsed(); };
        clock.start();
        launch.run();
        QCOMPARE(typedText(launch.keys), "abcd{ENTER}");
        QCOMPARE(sentAt.size(), 5);
        for (qsizetype i = 1; i < sentAt.size(); ++i)
            QVERIFY2(sentAt[i] - sentAt[i - 1] >= 50, qPrintable(QString::number(sentAt[i] - sentAt[i - 1])));

        Launch slow({{1, QString(1000, u'x')}}, 1000);
        slow.keys.afterSend = [&slow] {
            if (slow.keys.calls.size() == 2)
                QTimer::singleShot(100, [] { stopLaunch(); });
        };
        clock.restart();
        slow.run();
        QCOMPARE(slow.keys.calls.size(), std::size_t(2)); // stopped within the pause before the third key
        QVERIFY2(clock.elapsed() < 60000, "the stop ended the pause, not 1,000 s of keys");
    }
};

QTEST_MAIN(TestOneTimeCode)
#include "tst_one_time_code.moc"
