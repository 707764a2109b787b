// Protection of the stored texts under the master password, on real SQLite files: the three passes over a file of
// the version before, values that fail their check, a damaged protection row, and passes killed midway.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/DataFileVersions.h"
#include "domain/data/InstructionStatements.h"
#include "domain/data/StoredTextColumns.h"
#include "platform/app/Application.h"
#include "platform/grid/FlexGrid.h"
#include "support/CaughtError.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StartupSettings.h"
#include "system/app/StoredTextBatch.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchChecks.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <csignal>

namespace {

const QString Password = QStringLiteral("Passw0rd's 1!");
const QString Master = QStringLiteral("master key");

KeyDerivation cheap()
{
    return KeyDerivation::fresh(1, 8192);
}

QString enciphered(const QString& text)
{
    return QLatin1Char('\'') + dsEncrypt().Encrypt2(text).replace(u'\'', QStringLiteral("''")) + QLatin1Char('\'');
}

// A data file of the version before protection, with websites, steps and a kept permission; `extraWebsites` more
// websites of three steps each make the passes long enough to be killed midway.
QStringList versionThreeFile(int extraWebsites = 0)
{
    QStringList statements = currentDataFileStatements();
    // without what versions 4 and 5 add
    statements.removeIf([](const QString& s) {
        return s.contains(QStringLiteral("TextProtection")) || s.contains(QStringLiteral("KeyPauseMilliseconds")) ||
               s.contains(QStringLiteral("WHERE NOT EXISTS"));
    });
    statements.replace(statements.size() - 1, QStringLiteral("PRAGMA user_version = 3"));
    statements << QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink, WebsiteListOrder) VALUES "
                                 "(%1, %2, 1), (%3, Null, 2)")
                      .arg(enciphered("Bank"), enciphered("https://bank.example/login"), enciphered("Mail"))
               << QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                 "TextToTypeIn) VALUES (1, 4, 10, Null), (1, 1, Null, %1), (1, 3, 1, Null), "
                                 "(1, 1, Null, %2), (2, 1, Null, %3)")
                      .arg(enciphered("alice"), enciphered(Password), enciphered("bob"))
               << QStringLiteral("INSERT INTO DesktopPermission VALUES ('RemoteDesktop', %1)").arg(enciphered("tok"));
    for (int i = 0; i < extraWebsites; ++i)
        statements << QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink) VALUES (%1, %2)")
                          .arg(enciphered(QStringLiteral("Site %1").arg(i)), enciphered("https://example.test/"))
                   << QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, TextToTypeIn) VALUES "
                                     "(last_insert_rowid(), 1, %1), (last_insert_rowid(), 1, %1), "
                                     "(last_insert_rowid(), 1, %1)")
                          .arg(enciphered(QStringLiteral("user %1").arg(i)));
    return statements;
}

// Every stored text of the file as stored, by its place.
QStringList storedValues(const TempDataFolder& folder)
{
    QStringList values;
    for (const StoredTextColumn& column : storedTextColumns())
        values << folder.column(QStringLiteral("SELECT '%1.%2.' || %3 || '=' || %2 FROM %1 WHERE %2 IS NOT NULL "
                                               "ORDER BY %3")
                                    .arg(column.table, column.column, column.keyColumn));
    return values;
}

// What a program that starts now reads of the file: its protection, and whether the answer opens it.
bool opensAfterRestart(const QString& answer)
{
    const StartupSettings settings = ReadStartupSettings();
    return settings.protection && UnlockStoredTexts(*settings.protection, answer);
}

// What a launch of the website finds wrong before it opens anything.
QString launchProblemOfWebsite(const QString& websiteId)
{
    const Keys::RecordingKeySender keys;
    UnitOfWork work;
    Recordset steps = work.snapshot(ReplayInstructionsQuery(websiteId));
    return launchProblem(QStringLiteral("https://bank.example/login"), steps, steps.recordCount());
}

// The child's side of a killed pass: the pass named by the environment on the folder named there.
int runPassForTheParent()
{
    Application::setPath(qEnvironmentVariable("QUILLOCK_PASS_FOLDER"));
    gobjEncrypt = std::make_unique<dsEncrypt>();
    const QString pass = qEnvironmentVariable("QUILLOCK_PASS");
    if (pass == QLatin1String("protect")) {
        ProtectStoredTexts(Master, cheap());
    } else {
        if (!opensAfterRestart(Master))
            return 2;
        if (pass == QLatin1String("unprotect"))
            UnprotectStoredTexts();
        else {
            UnitOfWork work;
            work.beginTransaction();
            RewrapDataKey(work, QStringLiteral("new master"));
            work.commit();
        }
    }
    return 0;
}

} // namespace

class TestProtection : public QObject
{
    Q_OBJECT

private slots:
    void init() { gobjEncrypt = std::make_unique<dsEncrypt>(); }
    void cleanup() { useFieldCipher(); }

    void passesKeepEveryText()
    {
        TempDataFolder folder(versionThreeFile());
        const QStringList before = storedValues(folder);
        ProtectStoredTexts(Master, cheap());

        QCOMPARE(folder.column("PRAGMA user_version"), QStringList{QString::number(currentDataFileVersion())});
        const QStringList protectedValues = storedValues(folder);
        QCOMPARE(protectedValues.size(), before.size());
        for (const QString& value : protectedValues)
            QVERIFY2(DataKey::looksProtected(value.section(u'=', 1)), qPrintable(value));
        const QByteArray bytes = fileBytes(folder.dataFilePath());
        QVERIFY(!bytes.contains(Password.toUtf8()));
        QVERIFY(!bytes.contains(dsEncrypt().Encrypt2(Password).toUtf8()));
        QVERIFY(!bytes.contains("https://bank.example"));
        QCOMPARE(QDir(folder.path()).entryList({"*-journal", "*-wal"}, QDir::Files), QStringList());

        useFieldCipher();
        QVERIFY(!opensAfterRestart(QStringLiteral("Master key")));
        QVERIFY(opensAfterRestart(Master));
        QCOMPARE(launchProblemOfWebsite("1"), QString());
        {
            UnitOfWork work;
            work.beginTransaction();
            RewrapDataKey(work, QStringLiteral("new master"));
            work.commit();
        }
        useFieldCipher();
        QVERIFY(!opensAfterRestart(Master));
        QVERIFY(opensAfterRestart(QStringLiteral("new master")));

        UnprotectStoredTexts();
        QCOMPARE(storedValues(folder), before);
        QCOMPARE(folder.column("SELECT COUNT(*) FROM TextProtection"), QStringList{"0"});
        QVERIFY(!ReadStartupSettings().protection);
    }

    void valuesThatFailTheirCheckAreNamed_data()
    {
        QTest::addColumn<QString>("tampering");
        QTest::addColumn<QString>("launchProblem");
        const QString step4 = QStringLiteral("SELECT TextToTypeIn FROM WebsiteInstructions WHERE "
                                             "WebsiteInstructionsID = %1");
        const QString failed = QStringLiteral("The text of step %1 of the website \"Bank\" cannot be read: it failed "
                                              "its check: it was changed outside Quillock, or moved from another row."
                                              " Nothing was typed.");
        QTest::newRow("flipped character")
            << QStringLiteral("UPDATE WebsiteInstructions SET TextToTypeIn = substr(TextToTypeIn, 1, 20) || "
                              "CASE substr(TextToTypeIn, 21, 1) WHEN 'A' THEN 'B' ELSE 'A' END || "
                              "substr(TextToTypeIn, 22) WHERE WebsiteInstructionsID = 4")
            << failed.arg(4);
        QTest::newRow("swapped with another website's step")
            << QStringLiteral("UPDATE WebsiteInstructions SET TextToTypeIn = (%1) WHERE WebsiteInstructionsID = 2")
                   .arg(step4.arg(5))
            << failed.arg(2);
        QTest::newRow("cut short") << QStringLiteral("UPDATE WebsiteInstructions SET TextToTypeIn = "
                                                     "substr(TextToTypeIn, 1, length(TextToTypeIn) - 2) WHERE "
                                                     "WebsiteInstructionsID = 4")
                                   << failed.arg(4);
        QTest::newRow("field cipher form put back")
            << QStringLiteral("UPDATE WebsiteInstructions SET TextToTypeIn = %1 WHERE WebsiteInstructionsID = 4")
                   .arg(enciphered(Password))
            << failed.arg(4);
    }
    void valuesThatFailTheirCheckAreNamed()
    {
        QFETCH(QString, tampering);
        QFETCH(QString, launchProblem);
        TempDataFolder folder(versionThreeFile());
        ProtectStoredTexts(Master, cheap());
        folder.execute({tampering});
        const QStringList tampered = storedValues(folder);

        QCOMPARE(launchProblemOfWebsite("1"), launchProblem);
        QCOMPARE(launchProblemOfWebsite("2"), QString()); // the rest of the file still works
        const auto refusal = caughtError([] { UnprotectStoredTexts(); });
        QVERIFY(refusal);
        QVERIFY2(refusal->description().endsWith("Nothing was changed."), qPrintable(refusal->description()));
        QCOMPARE(storedValues(folder), tampered);
    }

    // The main window of a protected file: a link moved from another website fails its check in its cell, and its
    // launch opens nothing; the other websites show as before, each name in its own row (enough of them to be
    // deciphered on every core).
    void theMainWindowNamesAValueThatFailsItsCheck()
    {
        TempDataFolder folder(versionThreeFile(600));
        ProtectStoredTexts(Master, cheap());
        folder.execute({"UPDATE Website SET WebsiteLink = (SELECT WebsiteName FROM Website WHERE WebsiteID = 2) "
                        "WHERE WebsiteID = 1"});
        useFieldCipher(); // as a program that starts on the file
        ScriptedDialogs dialogs;
        dialogs.answers = QStringList{Master};
        Desktop::RecordingShell shell;
        frmWebsite window;
        QVERIFY(window.Form_Load());
        int bank = 0;
        for (int row = 1; row < window.GridRows(); ++row) {
            const int key = window.GridTextMatrix(row, 0).toInt();
            const QString name = window.GridTextMatrix(row, 1);
            QCOMPARE(name, key == 1 ? "Bank" : key == 2 ? "Mail" : QStringLiteral("Site %1").arg(key - 3));
            bank = key == 1 ? row : bank;
        }
        QCOMPARE(window.GridRows(), 603);
        QCOMPARE(window.GridTextMatrix(bank, 2), "(cannot be read: " + FailedCheckReason + ")");
        window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"))->setRow(bank);
        window.findChild<QPushButton*>(QStringLiteral("cmdLaunch"))->click();
        QCOMPARE(dialogs.messageTexts(), QStringList{"The link of the website \"Bank\" cannot be read: " +
                                                     FailedCheckReason + ". Nothing was opened or typed."});
        QVERIFY(shell.lookedUp.empty());
    }

    // Many values deciphered on several threads come back each in its place, a moved one refused, even when the key is
    // locked midway; a batch is refused once it is locked.
    void aBatchKeepsItsKeyThroughALock()
    {
        useDataKey(DataKey::generate());
        std::vector<StoredTextBatch::Value> values;
        for (int i = 0; i < 5000; ++i) {
            const QString key = QString::number(i);
            values.emplace_back(WebsiteNamePlace(key), i % 3 ? ConcealStoredText(WebsiteLinkPlace(key), key)
                                                             : ConcealStoredText(WebsiteNamePlace(key), key));
        }
        values.emplace_back(WebsiteNamePlace("5000"), QString());
        StoredTextBatch batch(std::move(values));
        lockStoredTexts();
        for (int i = 0; i < 5000; ++i)
            QCOMPARE(batch.text(std::size_t(i)), i % 3 ? std::nullopt : std::optional(QString::number(i)));
        QCOMPARE(batch.text(5000), std::optional(QString()));
        QVERIFY(caughtError([] { StoredTextBatch({{WebsiteNamePlace("1"), QStringLiteral("qp1:AAAA")}}); }));
    }

    // A value of a protected file is never read as the field cipher's form, even when the protection row is gone.
    void aMissingOrDamagedProtectionRowOpensNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("startupRefuses");
        QTest::newRow("row deleted") << QStringLiteral("DELETE FROM TextProtection") << false;
        QTest::newRow("wrapped key altered")
            << QStringLiteral("UPDATE TextProtection SET WrappedKey = substr(WrappedKey, 1, 40) || CASE "
                              "substr(WrappedKey, 41, 1) WHEN 'A' THEN 'B' ELSE 'A' END || substr(WrappedKey, 42)")
            << false;
        QTest::newRow("wrapped key emptied") << QStringLiteral("UPDATE TextProtection SET WrappedKey = ''") << true;
        QTest::newRow("salt cut short") << QStringLiteral("UPDATE TextProtection SET Salt = 'AAAA'") << true;
        QTest::newRow("memory out of range") << QStringLiteral("UPDATE TextProtection SET MemoryBytes = 1") << true;
    }
    void aMissingOrDamagedProtectionRowOpensNothing()
    {
        QFETCH(QString, damage);
        QFETCH(bool, startupRefuses);
        TempDataFolder folder(versionThreeFile());
        ProtectStoredTexts(Master, cheap());
        folder.execute({damage});
        useFieldCipher();
        if (startupRefuses) {
            QVERIFY(caughtError([] { ReadStartupSettings(); }));
            return;
        }
        QVERIFY(!opensAfterRestart(Master));
        if (storedTextForm() == StoredTextForm::FieldCipher) // the row is gone: the file reads as unprotected
            QVERIFY(launchProblemOfWebsite("1").contains("failed its check"));
    }

    // Killed at any moment, a pass leaves the file as it was before it or as it is after it, never between.
    void killedPassesLeaveAllBeforeOrAllAfter_data()
    {
        QTest::addColumn<QString>("pass");
        QTest::newRow("protect") << QStringLiteral("protect");
        QTest::newRow("unprotect") << QStringLiteral("unprotect");
        QTest::newRow("new password") << QStringLiteral("rewrap");
    }
    void killedPassesLeaveAllBeforeOrAllAfter()
    {
        QFETCH(QString, pass);
        TempDataFolder folder(versionThreeFile(1500));
        if (pass != QLatin1String("protect"))
            ProtectStoredTexts(Master, cheap());
        useFieldCipher();
        const QString backup = folder.path() + QStringLiteral("/before.mdb");
        QVERIFY(QFile::copy(folder.dataFilePath(), backup));
        const qint64 fullPass = runPass(folder, pass, -1);
        QVERIFY(fullPass > 0);
        for (int tenth = 1; tenth <= 9; tenth += 2) {
            QFile::remove(folder.dataFilePath());
            QVERIFY(QFile::copy(backup, folder.dataFilePath()));
            runPass(folder, pass, fullPass * tenth / 10);
            useFieldCipher();
            const bool opensWithOld = opensAfterRestart(Master);
            const bool opensWithNew = opensAfterRestart(QStringLiteral("new master"));
            useFieldCipher();
            const bool isProtected = ReadStartupSettings().protection.has_value();
            QVERIFY2(opensWithOld != opensWithNew || !isProtected, "exactly one password opens the file");
            useFieldCipher();
            if (isProtected)
                QVERIFY(opensAfterRestart(opensWithOld ? Master : QStringLiteral("new master")));
            for (const QString& step : {QStringLiteral("1"), QStringLiteral("2")})
                QCOMPARE(launchProblemOfWebsite(step), QString());
        }
    }

private:
    // Runs the pass in a child process and kills it after the milliseconds given (never when negative); returns how
    // long the child ran.
    static qint64 runPass(const TempDataFolder& folder, const QString& pass, qint64 killAfterMs)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLOCK_PASS", pass);
        environment.insert("QUILLOCK_PASS_FOLDER", folder.path());
        child.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForStarted())
            return -1;
        if (killAfterMs >= 0) {
            QThread::msleep(static_cast<unsigned long>(killAfterMs));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        }
        child.waitForFinished(120000);
        return clock.elapsed();
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("QUILLOCK_PASS"))
        return runPassForTheParent();
    TestProtection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_protection.moc"
