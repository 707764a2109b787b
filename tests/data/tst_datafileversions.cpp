// Data files of earlier layouts and of unknown versions, opened through the program's own connection, on real
// SQLite files in a temporary folder.

#include "domain/data/DataFileSchema.h"
#include "domain/data/DataFileVersions.h"
#include "platform/db/DataFileCreator.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"
#include "support/WriteProtection.h"
#include "system/app/basModule1.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The statements the first builds ran for a new data file: no version, no checks on the number columns.
const QStringList FirstBuildsDataFile{
    "CREATE TABLE Website (WebsiteID INTEGER PRIMARY KEY AUTOINCREMENT, WebsiteName TEXT, "
    "WebsiteLink TEXT, WebsiteListOrder INTEGER)",
    "CREATE TABLE WebsiteInstructions (WebsiteInstructionsID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "WebsiteID INTEGER, EventTypeID INTEGER, NumberOfTimes NUMERIC, TextToTypeIn TEXT)",
    "CREATE TABLE EventType (EventTypeID INTEGER PRIMARY KEY AUTOINCREMENT, EventType TEXT)",
    "CREATE TABLE Setup (SetupID INTEGER PRIMARY KEY, MasterPassword TEXT, "
    "NumMinutesBeforeRequiringPasswordAgain NUMERIC, DefaultToLauncher NUMERIC, "
    "LauncherHeight NUMERIC, LauncherWidth NUMERIC, FormHeight NUMERIC, FormWidth NUMERIC)",
    "CREATE INDEX WebsiteInstructionsByWebsite ON WebsiteInstructions (WebsiteID)",
    "INSERT INTO EventType (EventTypeID, EventType) VALUES (1, 'Text')",
    "INSERT INTO EventType (EventTypeID, EventType) VALUES (2, 'Enter')",
    "INSERT INTO EventType (EventTypeID, EventType) VALUES (3, 'Tab')",
    "INSERT INTO EventType (EventTypeID, EventType) VALUES (4, 'Wait')",
    "INSERT INTO EventType (EventTypeID, EventType) VALUES (5, 'Shift+Tab')",
    "INSERT INTO Setup (SetupID, MasterPassword, NumMinutesBeforeRequiringPasswordAgain, "
    "DefaultToLauncher) VALUES (1, Null, 15, 0)",
};

// A user's rows in every table.
const QStringList UsersRows{
    "INSERT INTO Website (WebsiteName, WebsiteLink, WebsiteListOrder) VALUES ('Bank', 'https://bank.example', 2), "
    "('Mail', Null, Null)",
    "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) VALUES (1, 4, '10', Null), "
    "(1, 1, Null, 'me'), (2, 3, 2.5, Null)",
    "INSERT INTO EventType (EventType) VALUES ('Escape')",
    "UPDATE Setup SET MasterPassword = 'secret', LauncherWidth = 4200",
};

// Words in number columns, which the first builds let through.
const QStringList WordsInNumberColumns{
    "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes) VALUES (2, 4, 'ten')",
    "UPDATE Setup SET LauncherHeight = 'tall'",
};

// Reads the file with a connection of its own, read-only, so that the program's connection does not upgrade it.
QStringList rowsOf(const QString& path, const QString& query)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspector"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery rowQuery(db);
        if (!db.open() || !rowQuery.exec(query))
            rows << QStringLiteral("unreadable: ") + rowQuery.lastError().text();
        while (rowQuery.next()) {
            QStringList values;
            for (int i = 0; i < rowQuery.record().count(); ++i) {
                const QVariant value = rowQuery.value(i);
                values << (value.isNull() ? QStringLiteral("null") : value.typeName() + (':' + value.toString()));
            }
            rows << values.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspector"));
    return rows;
}

QStringList everyRowOf(const QString& path)
{
    QStringList rows;
    for (const char* table : {"Website", "WebsiteInstructions", "EventType", "Setup"})
        rows << rowsOf(path, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table)));
    return rows;
}

QStringList layoutOf(const QString& path)
{
    return rowsOf(path, QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY type, name")) +
           rowsOf(path, QStringLiteral("PRAGMA user_version"));
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDataFileVersions : public QObject
{
    Q_OBJECT

private slots:
    void olderFileIsUpgradedAndKeepsEveryRow_data();
    void olderFileIsUpgradedAndKeepsEveryRow();
    void fileIsRefusedUntouched_data();
    void fileIsRefusedUntouched();
    void olderReadOnlyFileIsReadAsItIs();
};

void TestDataFileVersions::olderFileIsUpgradedAndKeepsEveryRow_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("first builds") << FirstBuildsDataFile + UsersRows + WordsInNumberColumns;
    QTest::newRow("checked number columns, no version") << newDataFileStatements() + UsersRows;
}

void TestDataFileVersions::olderFileIsUpgradedAndKeepsEveryRow()
{
    QFETCH(QStringList, statements);
    TempDataFolder folder(statements);
    const QString path = folder.dataFilePath();
    const QStringList rowsBefore = everyRowOf(path);

    OpenConnection();
    QTemporaryDir newFolder;
    const QString newFile = newFolder.filePath(QStringLiteral("new.mdb"));
    createDatabaseFile(newFile, currentDataFileStatements());
    QCOMPARE(layoutOf(path), layoutOf(newFile));
    QCOMPARE(everyRowOf(path), rowsBefore);

    for (const char* refused : {"INSERT INTO WebsiteInstructions (WebsiteID, NumberOfTimes) VALUES (1, 'ten')",
                                "UPDATE Website SET WebsiteListOrder = 'first' WHERE WebsiteID = 2",
                                "UPDATE Setup SET FormWidth = x'01' WHERE SetupID = 1"}) {
        const auto error = caughtError([&] { gobjConnection->execute(QLatin1String(refused)); });
        QVERIFY2(error && error->description().contains("takes a number"), refused);
    }
    QCOMPARE(everyRowOf(path), rowsBefore);
    // A row that already holds a word stays changeable in its other columns.
    gobjConnection->execute(QStringLiteral("UPDATE Setup SET NumMinutesBeforeRequiringPasswordAgain = '20'"));
    QCOMPARE(rowsOf(path, QStringLiteral("SELECT NumMinutesBeforeRequiringPasswordAgain FROM Setup")),
             QStringList{"qlonglong:20"});
}

void TestDataFileVersions::fileIsRefusedUntouched_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QStringList>("expectedWords");
    const QString current = QString::number(currentDataFileVersion());
    const QString newer = QString::number(currentDataFileVersion() + 1);
    QTest::newRow("newer") << currentDataFileStatements() + UsersRows + QStringList{"PRAGMA user_version = " + newer}
                           << QStringList{"has version " + newer, "reads versions 0 to " + current};
    QTest::newRow("negative version") << currentDataFileStatements() + QStringList{"PRAGMA user_version = -1"}
                                      << QStringList{"has version -1", "reads versions 0 to " + current};
    const QStringList withoutSettings = FirstBuildsDataFile.filter(QRegularExpression(QStringLiteral("^(?!.*Setup)")));
    QTest::newRow("older, without its settings table")
        << withoutSettings + UsersRows.mid(0, 2) << QStringList{"has no table Setup", "left as it is"};
    // Every step but the last changes the file before the last one fails.
    QTest::newRow("older, its upgrade failing at the last step")
        << FirstBuildsDataFile + UsersRows + QStringList{"CREATE INDEX DesktopPermission ON Website (WebsiteName)"}
        << QStringList{"from version 0 to version " + current, "already an index", "left as it was"};
}

void TestDataFileVersions::fileIsRefusedUntouched()
{
    QFETCH(QStringList, statements);
    QFETCH(QStringList, expectedWords);
    TempDataFolder folder(statements);
    const QString path = folder.dataFilePath();
    const QByteArray before = bytesOf(path);

    const auto error = caughtError([] { OpenConnection(); });
    QVERIFY(error && !gobjConnection->isOpen());
    for (const QString& words : expectedWords + QStringList{path})
        QVERIFY2(error->description().contains(words), qPrintable(error->description()));
    QCOMPARE(bytesOf(path), before);
}

// An older file that cannot be written opens without its upgrade: it reads, and a change says why it cannot be made.
void TestDataFileVersions::olderReadOnlyFileIsReadAsItIs()
{
    TempDataFolder folder(FirstBuildsDataFile + UsersRows);
    const QString path = folder.dataFilePath();
    const QByteArray before = bytesOf(path);
    const WriteProtection readOnly(path);
    OpenConnection();
    Recordset websites;
    websites.open(QStringLiteral("SELECT WebsiteName FROM Website ORDER BY WebsiteID"), *gobjConnection);
    QCOMPARE(websites.fields(0).text(), QStringLiteral("Bank"));
    const auto error = caughtError([] { gobjConnection->execute(QStringLiteral("UPDATE Setup SET FormWidth = 1")); });
    QVERIFY(error && error->description().startsWith("The data file '" + path +
                                                     "' cannot be written: the file, or "
                                                     "the storage it is on, is read-only"));
    CloseConnection();
    QCOMPARE(bytesOf(path), before);
}

QTEST_GUILESS_MAIN(TestDataFileVersions)
#include "tst_datafileversions.moc"
