// The data store on real SQLite files in temporary folders: new data files, files that cannot be used, statements
// and recordsets, program folders of any name; and data files of earlier layouts and of unknown versions, opened
// through the program's own connection.

#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/DataFileSchema.h"
#include "domain/data/DataFileVersions.h"
#include "domain/data/SetupStatements.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"
#include "support/WriteProtection.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using Rows = QList<QStringList>;

namespace {

int errorNumberOf(const std::function<void()>& work)
{
    return caughtError(work).value_or(AppError(0, QString())).number();
}

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
    // the columns and the step type that later versions add are looked at on their own
    QStringList rows = rowsOf(path, "SELECT WebsiteID, WebsiteName, WebsiteLink, WebsiteListOrder FROM Website");
    rows << rowsOf(path, "SELECT * FROM WebsiteInstructions ORDER BY 1")
         << rowsOf(path, "SELECT * FROM EventType WHERE EventType IS NOT 'One-Time Code' ORDER BY 1");
    return rows << rowsOf(path, QStringLiteral("SELECT SetupID, NumMinutesBeforeRequiringPasswordAgain, "
                                               "DefaultToLauncher, LauncherHeight, LauncherWidth, FormHeight, "
                                               "FormWidth FROM Setup"));
}

// The master password as the file keeps it.
StoredMasterPassword storedMasterPassword(const QString& path)
{
    dsEncrypt cipher;
    const QString stored = rowsOf(path, QStringLiteral("SELECT MasterPassword FROM Setup")).value(0);
    return StoredMasterPassword::fromStored(stored.section(QLatin1Char(':'), 1), cipher);
}

} // namespace

class TestDataStore : public QObject
{
    Q_OBJECT

private slots:

    // (That a new data file is its owner's only is the install test's check, on the file the installed tool makes.)
    void newDataFileIsNeverOverwritten()
    {
        TempDataFolder folder;
        const QString path = folder.dataFilePath();
        folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('kept')")});
        const QByteArray before = fileBytes(path);
        QVERIFY(errorNumberOf([&] { createDatabaseFile(path, newDataFileStatements()); }) != 0);
        QCOMPARE(fileBytes(path), before);
    }

    void statements_data()
    {
        QTest::addColumn<QStringList>("statements"); // sent in turn through the program's connection
        QTest::addColumn<QString>("failure");        // words of the last statement's error; empty when none fails
        QTest::addColumn<QString>("query");          // read through a recordset, as the windows read
        QTest::addColumn<Rows>("rows");
        const auto row = [](const char* name, const QString& query, const Rows& rows, const QStringList& statements,
                            const QString& failure = {}) {
            QTest::newRow(name) << statements << failure << query << rows;
        };

        // A new data file: no master password, a re-lock period to count with, the main window's design size.
        row("new file: settings row", SettingsQuery(),
            {{"1", "", QString::number(NewDataFileRelockMinutes), "0", "", "", "8655", "12885"}}, {});
        row("a word where a number goes is refused, as a failed conversion",
            "SELECT NumMinutesBeforeRequiringPasswordAgain FROM Setup", {{"15"}},
            {"UPDATE Setup SET NumMinutesBeforeRequiringPasswordAgain = 'soon'"},
            "NumMinutesBeforeRequiringPasswordAgain takes a number");
        row("top limits the rows, in any case, before a semicolon; Top inside a text value is data",
            "select top 1 a.WebsiteName FROM Website a ORDER BY a.WebsiteName;", {{"SELECT Top 5 "}},
            {"INSERT INTO Website (WebsiteName) VALUES ('SELECT Top 5 '), ('b')"});
        row("@@Identity is the new key; a deleted last key is not reused", "SELECT @@Identity ", {{"3"}},
            {"INSERT INTO Website (WebsiteName) VALUES ('a'), ('b')", "DELETE From Website WHERE WebsiteID = 2",
             "INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('c', Null)"});
        row("quoted numbers land as numbers, whole reals as whole numbers",
            "SELECT NumberOfTimes, typeof(NumberOfTimes) FROM WebsiteInstructions ORDER BY WebsiteInstructionsID",
            {{"10", "integer"}, {"2.5", "real"}, {"7000", "integer"}, {"", "null"}},
            {"INSERT INTO WebsiteInstructions (NumberOfTimes) VALUES ('10'), ('2.5'), (7000.0), (Null)"});
    }

    void statements()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, failure);
        QFETCH(QString, query);
        QFETCH(Rows, rows);

        TempDataFolder folder;
        OpenConnection();
        for (qsizetype i = 0; i < statements.size(); ++i) {
            const auto error = caughtError([&] { gobjConnection->execute(statements[i]); });
            QCOMPARE(error.has_value(), i == statements.size() - 1 && !failure.isEmpty());
            if (error)
                QVERIFY2(error->number() == ErrorNumber::StatementFailure && error->description().contains(failure),
                         qPrintable(error->description()));
        }
        Recordset recordset;
        Rows read;
        for (recordset.open(query, *gobjConnection); !recordset.eof(); recordset.moveNext()) {
            read << QStringList();
            for (int i = 0; i < recordset.fieldCount(); ++i)
                read.last() << recordset.fields(i).text();
        }
        QCOMPARE(read, rows);
    }

    void recordsetAndConnectionStates()
    {
        TempDataFolder folder;
        OpenConnection();
        OpenConnection(); // replaces the open connection
        gobjRecordset->open(SettingsQuery(), *gobjConnection);
        QCOMPARE(gobjRecordset->fields(QStringLiteral("setupid")).text(), QStringLiteral("1"));
        QCOMPARE(gobjRecordset->fields(7).name(), QStringLiteral("FormWidth"));
        QVERIFY(errorNumberOf([] { gobjRecordset->fields(QStringLiteral("NoSuchField")); }) &&
                errorNumberOf([] { gobjRecordset->fields(8); }));
        gobjRecordset->moveNext();
        QVERIFY(gobjRecordset->eof() && errorNumberOf([] { gobjRecordset->fields(0); }));
        gobjRecordset->moveFirst();
        QVERIFY(!gobjRecordset->eof());

        // The snapshot outlives the connection.
        gobjRecordset->open(QStringLiteral("SELECT EventType FROM EventType WHERE EventTypeID = 4"), *gobjConnection);
        CloseConnection();
        QCOMPARE(gobjRecordset->fields(QStringLiteral("EventType")).text(), QStringLiteral("Wait"));
        gobjRecordset->close();
        QCOMPARE(errorNumberOf([] { gobjRecordset->eof(); }), ErrorNumber::ObjectClosed);
        QCOMPARE(errorNumberOf([] { CloseConnection(); }), ErrorNumber::ObjectNotSet);

        Connection closed;
        QCOMPARE(errorNumberOf([&] { closed.close(); }), ErrorNumber::ObjectClosed);
        QCOMPARE(errorNumberOf([&] { closed.execute(QStringLiteral("SELECT 1")); }), ErrorNumber::ObjectClosed);
    }

    // A program folder named with any characters a folder name can hold opens its data file, through the connection
    // string as the program builds it. The folder "x" stands where a path cut at the semicolon would lead.
    void programFolderOfAnyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a key after a semicolon") << "x;Data Source=other";
        QTest::newRow("quotes, hash, percent, escapes spelled out, blanks") << " it's \"my\" #1 100% %3B%20 ?x ";
    }

    void programFolderOfAnyName()
    {
        QFETCH(QString, name);
        QTemporaryDir parent;
        QVERIFY(QDir(parent.path()).mkpath(name) && QDir(parent.path()).mkpath(QStringLiteral("x")));
        const QString folder = QDir(parent.path()).filePath(name);
        createDatabaseFile(QDir(folder).filePath(QStringLiteral("Quillock.mdb")), newDataFileStatements());
        Application::setPath(folder);
        QVERIFY(DataFilePath().startsWith(folder));
        const auto error = caughtError([] {
            OpenConnection();
            gobjConnection->execute(QStringLiteral("UPDATE Setup SET FormWidth = 4321"));
            CloseConnection();
        });
        Application::setPath(QString());
        QVERIFY2(!error, qPrintable(error ? error->description() : QString()));
        QCOMPARE(rowsOf(QDir(folder).filePath(QStringLiteral("Quillock.mdb")),
                        QStringLiteral("SELECT FormWidth FROM Setup")),
                 QStringList{"qlonglong:4321"});
        QCOMPARE(QDir(parent.path()).entryList(QDir::Files), QStringList()); // nothing made where a cut path leads
    }

    void olderFileIsUpgradedAndKeepsEveryRow_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("first builds") << FirstBuildsDataFile + UsersRows + WordsInNumberColumns;
        QTest::newRow("checked number columns, no version") << newDataFileStatements() + UsersRows;
    }

    void olderFileIsUpgradedAndKeepsEveryRow()
    {
        QFETCH(QStringList, statements);
        TempDataFolder folder(statements);
        const QString path = folder.dataFilePath();
        const QStringList rowsBefore = everyRowOf(path);

        OpenConnection();
        QTemporaryDir newFolder;
        const QString newFile = newFolder.filePath(QStringLiteral("new.mdb"));
        createDatabaseFile(newFile, currentDataFileStatements());
        const auto layoutOf = [](const QString& file) {
            return rowsOf(file, QStringLiteral("SELECT type, name FROM sqlite_master ORDER BY type, name")) +
                   rowsOf(file, QStringLiteral("PRAGMA user_version"));
        };
        QCOMPARE(layoutOf(path), layoutOf(newFile));
        QCOMPARE(everyRowOf(path), rowsBefore);
        // the one-time code step type once, whether the file had it or not, and no pause between keys
        QCOMPARE(rowsOf(path, "SELECT COUNT(*) FROM EventType WHERE EventType = 'One-Time Code'"),
                 QStringList{"qlonglong:1"});
        QCOMPARE(rowsOf(path, "SELECT DISTINCT KeyPauseMilliseconds FROM Website"), QStringList{"qlonglong:0"});
        // The field cipher's form of "secret" became a verifier of the password it held.
        const QString verifier = rowsOf(path, QStringLiteral("SELECT MasterPassword FROM Setup")).value(0);
        QVERIFY2(verifier.startsWith(QStringLiteral("QString:quillock-password-check 2 ")), qPrintable(verifier));
        QVERIFY(storedMasterPassword(path).opensWith(dsEncrypt().Encrypt2(QStringLiteral("secret"))));

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

    // What stands at the data file's place is refused with a message that names the file and what is wrong with it,
    // and is left as it was: statements write the file, or the row's name says what stands there.
    void fileIsRefusedUntouched_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QStringList>("expectedWords");
        const QString current = QString::number(currentDataFileVersion());
        const QString newer = QString::number(currentDataFileVersion() + 1);
        QTest::newRow("missing") << QStringList() << QStringList{"does not exist"};
        QTest::newRow("truncated database header") << QStringList() << QStringList{"not a database"};
        QTest::newRow("folder") << QStringList() << QStringList{"not a file"};
        QTest::newRow("locked") << QStringList() << QStringList{"locked by another program"};
        QTest::newRow("newer") << currentDataFileStatements() + UsersRows +
                                      QStringList{"PRAGMA user_version = " + newer}
                               << QStringList{"has version " + newer, "reads versions 0 to " + current};
        QTest::newRow("negative version") << currentDataFileStatements() + QStringList{"PRAGMA user_version = -1"}
                                          << QStringList{"has version -1", "reads versions 0 to " + current};
        const QStringList withoutSettings =
            FirstBuildsDataFile.filter(QRegularExpression(QStringLiteral("^(?!.*Setup)")));
        QTest::newRow("older, without its settings table")
            << withoutSettings + UsersRows.mid(0, 2) << QStringList{"has no table Setup", "left as it is"};
        // Every step but the last changes the file before the last one fails.
        QTest::newRow("older, its upgrade failing at the last step")
            << FirstBuildsDataFile + UsersRows + QStringList{"CREATE INDEX DesktopPermission ON Website (WebsiteName)"}
            << QStringList{"from version 0 to version " + current, "already an index", "left as it was"};
    }

    void fileIsRefusedUntouched()
    {
        QFETCH(QStringList, statements);
        QFETCH(QStringList, expectedWords);
        const QByteArray kind = QTest::currentDataTag();
        TempDataFolder folder(statements.isEmpty() ? currentDataFileStatements() : statements);
        const QString path = folder.dataFilePath();
        Connection otherProgram;
        otherProgram.setConnectionString(DataConnectionString());
        QFile file(path);
        if (kind == "locked") {
            otherProgram.open();
            otherProgram.execute(QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (kind == "missing") {
            QVERIFY(file.remove());
        } else if (kind == "folder") {
            QVERIFY(file.remove() && QDir(folder.path()).mkdir(QStringLiteral("Quillock.mdb")));
        } else if (kind == "truncated database header") {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("SQLite format 3\0garbage", 23) == 23 &&
                    file.flush());
        }
        const QByteArray before = fileBytes(path);

        const auto error = caughtError([] { OpenConnection(); });
        QVERIFY(error && !gobjConnection->isOpen());
        for (const QString& words : expectedWords + QStringList{path})
            QVERIFY2(error->description().contains(words), qPrintable(error->description()));
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QFileInfo::exists(path), kind != "missing"); // never made
        if (kind == "locked") {
            otherProgram.close();
            OpenConnection(); // usable again once the other program lets go
        }
    }

    // An older file that cannot be written opens without its upgrade: it reads, and a change says why it cannot be
    // made.
    void olderReadOnlyFileIsReadAsItIs()
    {
        TempDataFolder folder(FirstBuildsDataFile + UsersRows);
        const QString path = folder.dataFilePath();
        const QByteArray before = fileBytes(path);
        const WriteProtection readOnly(path);
        OpenConnection();
        Recordset websites;
        websites.open(QStringLiteral("SELECT WebsiteName FROM Website ORDER BY WebsiteID"), *gobjConnection);
        QCOMPARE(websites.fields(0).text(), QStringLiteral("Bank"));
        const auto error =
            caughtError([] { gobjConnection->execute(QStringLiteral("UPDATE Setup SET FormWidth = 1")); });
        QVERIFY(error && error->description().startsWith("The data file '" + path +
                                                         "' cannot be written: the file, or "
                                                         "the storage it is on, is read-only"));
        CloseConnection();
        QCOMPARE(fileBytes(path), before);
        // Its master password, still in the field cipher's form, is checked in that form.
        QVERIFY(storedMasterPassword(path).opensWith(dsEncrypt().Encrypt2(QStringLiteral("secret"))));
        QVERIFY(!storedMasterPassword(path).opensWith(QStringLiteral("secret")));
    }
};

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_datastore.moc"
