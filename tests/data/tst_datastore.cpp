// The data store on a real SQLite file in a temporary folder: the program's statement texts run
// unchanged, and a file that is missing, broken or locked gives a clear error and is left as it was.

#include "app/basModule1.h"
#include "data/DataFileSchema.h"
#include "data/SettingsQuery.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "platform/db/StatementTranslation.h"
#include "platform/error/AppError.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Reads every row of a query through a fresh recordset, as the windows do.
QList<QStringList> queryRows(Connection& connection, const QString& statement)
{
    Recordset rows;
    rows.open(statement, connection);
    QList<QStringList> result;
    while (!rows.eof()) {
        QStringList row;
        for (int i = 0; i < rows.fieldCount(); ++i)
            row << rows.fields(i).text();
        result << row;
        rows.moveNext();
    }
    rows.close();
    return result;
}

Connection& openShared()
{
    OpenConnection();
    return *gobjConnection;
}

// The number of the error the work raised, or 0 when it raised none.
template <typename Work>
int errorNumberOf(Work&& work)
{
    const std::optional<AppError> error = caughtError(std::forward<Work>(work));
    return error ? error->number() : 0;
}

} // namespace

class TestDataStore : public QObject
{
    Q_OBJECT

private slots:
    void newDataFileHoldsTheRequiredRows();
    void newDataFileIsPrivateAndNeverOverwritten();
    void unusableFileGivesAnErrorAndIsLeftAlone_data();
    void unusableFileGivesAnErrorAndIsLeftAlone();
    void lockedFileGivesAnError();
    void translation_data();
    void translation();
    void topLimitsTheRows();
    void identityIsTheNewKeyAndKeysKeepGrowing();
    void quotedNumbersLandAsNumbers();
    void nullSortsFirst();
    void failedStatementLeavesTheDataAsItWas();
    void recordsetFieldsByNameAndIndex();
    void connectionLifecycle();
};

void TestDataStore::newDataFileHoldsTheRequiredRows()
{
    TempDataFolder folder;
    Connection& connection = openShared();
    const QList<QStringList> setup = queryRows(connection, SettingsQuery());
    QCOMPARE(setup.size(), 1);
    QCOMPARE(setup[0][0], QStringLiteral("1"));
    QCOMPARE(setup[0][1], QString()); // no master password
    QCOMPARE(setup[0][2], QString::number(NewDataFileRelockMinutes));
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT EventType FROM EventType ORDER BY EventType")),
             (QList<QStringList>{{"Enter"}, {"Shift+Tab"}, {"Tab"}, {"Text"}, {"Wait"}}));
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT EventTypeID FROM EventType WHERE EventType = 'Wait'")),
             (QList<QStringList>{{"4"}}));
    QCOMPARE(
        queryRows(connection, QStringLiteral("SELECT (SELECT count(*) FROM Setup), (SELECT count(*) FROM Website), "
                                             "(SELECT count(*) FROM WebsiteInstructions)")),
        (QList<QStringList>{{"1", "0", "0"}}));
    CloseConnection();
}

void TestDataStore::newDataFileIsPrivateAndNeverOverwritten()
{
    TempDataFolder folder;
    const QFile::Permissions permissions = QFile::permissions(folder.dataFilePath());
    QCOMPARE(permissions & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QVERIFY(permissions & QFile::ReadOwner);

    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('kept')")});
    QVERIFY(errorNumberOf([&] { createDatabaseFile(folder.dataFilePath(), newDataFileStatements()); }) != 0);
    QCOMPARE(queryRows(openShared(), QStringLiteral("SELECT WebsiteName FROM Website")),
             (QList<QStringList>{{"kept"}}));
    CloseConnection();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Quillock.mdb")});
}

void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    QTest::addColumn<bool>("isFolder");
    QTest::addColumn<QString>("expectedWords");
    QTest::newRow("missing") << QByteArray() << false << "does not exist";
    QTest::newRow("truncated database header")
        << QByteArray("SQLite format 3\0garbage", 23) << false << "not a database";
    QTest::newRow("folder of that name") << QByteArray() << true << "not a file";
}

void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, isFolder);
    QFETCH(QString, expectedWords);
    QTemporaryDir dir;
    Application::setPath(dir.path());
    const QString path = DataFilePath();
    if (isFolder)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Quillock.mdb")));
    QFile file(path);
    if (!contents.isEmpty()) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
    }

    const auto error = caughtError([] { OpenConnection(); });
    QVERIFY(error);
    QVERIFY2(error->description().contains(expectedWords), qPrintable(error->description()));
    QVERIFY2(error->description().contains(path), qPrintable(error->description()));
    gobjConnection.reset();
    if (!contents.isEmpty()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
             isFolder || !contents.isEmpty() ? 1 : 0);
    Application::setPath(QString());
}

void TestDataStore::lockedFileGivesAnError()
{
    TempDataFolder folder;
    QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    locker.setDatabaseName(folder.dataFilePath());
    QVERIFY(locker.open());
    QSqlQuery lock(locker);
    QVERIFY(lock.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
    QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));

    const auto error = caughtError([] { OpenConnection(); });
    QVERIFY(error);
    QVERIFY2(error->description().contains(QStringLiteral("locked")), qPrintable(error->description()));

    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    lock.finish();
    locker.close();
    locker = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    OpenConnection(); // usable again once the other program lets go
    CloseConnection();
}

void TestDataStore::translation_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("top with order")
        << "SELECT Top 500 a.EventTypeID, a.EventType FROM EventType a ORDER BY a.EventType "
        << "SELECT a.EventTypeID, a.EventType FROM EventType a ORDER BY a.EventType LIMIT 500";
    QTest::newRow("top in other case") << QStringLiteral("select TOP 3 x from y;")
                                       << QStringLiteral("SELECT x from y LIMIT 3");
    QTest::newRow("identity") << QStringLiteral("SELECT @@Identity ") << QStringLiteral("SELECT last_insert_rowid()");
    QTest::newRow("plain select unchanged") << QStringLiteral("SELECT MAX(WebsiteID) FROM Website ")
                                            << QStringLiteral("SELECT MAX(WebsiteID) FROM Website ");
    QTest::newRow("top inside a text value unchanged")
        << "UPDATE Website SET WebsiteName = 'SELECT Top 5 ' WHERE WebsiteID = 1"
        << "UPDATE Website SET WebsiteName = 'SELECT Top 5 ' WHERE WebsiteID = 1";
}

void TestDataStore::translation()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(translateStatement(statement), expected);
}

void TestDataStore::topLimitsTheRows()
{
    TempDataFolder folder;
    QStringList inserts;
    for (int i = 0; i < 600; ++i)
        inserts << QStringLiteral("INSERT INTO EventType (EventType) VALUES ('kind %1')").arg(i);
    folder.execute(inserts);
    Connection& connection = openShared();
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT Top 500 a.EventTypeID FROM EventType a ")).size(), 500);
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT a.EventTypeID FROM EventType a ")).size(), 605);
    CloseConnection();
}

// Keys are never reused, not even the key of the last row after it was deleted.
void TestDataStore::identityIsTheNewKeyAndKeysKeepGrowing()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('a')"),
                    QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('b')"),
                    QStringLiteral("DELETE From Website WHERE WebsiteID = 2")});
    Connection& connection = openShared();
    connection.execute(QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('c', Null)"));
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT @@Identity ")), (QList<QStringList>{{"3"}}));
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT WebsiteID FROM Website WHERE WebsiteName = 'c'")),
             (QList<QStringList>{{"3"}}));
    CloseConnection();
}

// A number column stores quoted numbers as numbers, whole reals as whole numbers and Null as NULL.
void TestDataStore::quotedNumbersLandAsNumbers()
{
    TempDataFolder folder;
    Connection& connection = openShared();
    for (const char* literal : {"'10'", "'2.5'", "7000.0", "Null"}) {
        connection.execute(QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                          "TextToTypeIn) VALUES (1, 4, %1, Null)")
                               .arg(QLatin1String(literal)));
    }
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT NumberOfTimes, typeof(NumberOfTimes) FROM "
                                                  "WebsiteInstructions ORDER BY WebsiteInstructionsID")),
             (QList<QStringList>{{"10", "integer"}, {"2.5", "real"}, {"7000", "integer"}, {"", "null"}}));
    CloseConnection();
}

void TestDataStore::nullSortsFirst()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteListOrder) VALUES ('second', 1)"),
                    QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteListOrder) VALUES ('never moved', Null)"),
                    QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteListOrder) VALUES ('third', 2)")});
    QCOMPARE(queryRows(openShared(), QStringLiteral("SELECT a.WebsiteName FROM Website a ORDER BY WebsiteListOrder")),
             (QList<QStringList>{{"never moved"}, {"second"}, {"third"}}));
    CloseConnection();
}

void TestDataStore::failedStatementLeavesTheDataAsItWas()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('a')")});
    Connection& connection = openShared();
    const auto error = caughtError(
        [&] { connection.execute(QStringLiteral("UPDATE Website SET WebsiteName = 'b' WHERE NoSuchColumn = 1")); });
    QVERIFY(error);
    QCOMPARE(error->number(), ErrorNumber::StatementFailure);
    QVERIFY2(error->description().contains(QStringLiteral("NoSuchColumn")), qPrintable(error->description()));
    QCOMPARE(queryRows(connection, QStringLiteral("SELECT WebsiteName FROM Website")), (QList<QStringList>{{"a"}}));
    CloseConnection();
}

void TestDataStore::recordsetFieldsByNameAndIndex()
{
    TempDataFolder folder;
    Connection& connection = openShared();
    gobjRecordset->open(SettingsQuery(), connection);
    QVERIFY(!gobjRecordset->eof());
    gobjRecordset->moveFirst();
    QCOMPARE(gobjRecordset->fieldCount(), 8);
    QCOMPARE(gobjRecordset->fieldNames().first(), QStringLiteral("SetupID"));
    QCOMPARE(gobjRecordset->fields(QStringLiteral("setupid")).text(), QStringLiteral("1"));
    QVERIFY(gobjRecordset->fields(QStringLiteral("FormWidth")).isNull());
    QCOMPARE(gobjRecordset->fields(7).name(), QStringLiteral("FormWidth"));
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(QStringLiteral("NoSuchField")); }) != 0);
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(8); }) != 0);
    gobjRecordset->moveNext();
    QVERIFY(gobjRecordset->eof());
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(0); }) != 0);
    gobjRecordset->close();
    gobjRecordset.release();
    QVERIFY(!gobjRecordset.holdsObject());

    // The snapshot outlives the connection.
    gobjRecordset->open(QStringLiteral("SELECT EventType FROM EventType WHERE EventTypeID = 4"), connection);
    CloseConnection();
    QCOMPARE(gobjRecordset->fields(QStringLiteral("EventType")).text(), QStringLiteral("Wait"));
    gobjRecordset->close();
    gobjRecordset.release();
}

// Opening again replaces an open connection; closing releases it.
void TestDataStore::connectionLifecycle()
{
    TempDataFolder folder;
    OpenConnection();
    OpenConnection();
    QVERIFY(gobjConnection->isOpen());
    QCOMPARE(gobjConnection->connectionString(),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + DataFilePath());
    QCOMPARE(gobjConnection->cursorLocation(), Connection::adUseClient);
    CloseConnection();
    QVERIFY(!gobjConnection);
    QCOMPARE(errorNumberOf([] { CloseConnection(); }), ErrorNumber::ObjectNotSet);

    Connection closed;
    closed.setConnectionString(DataConnectionString());
    QCOMPARE(errorNumberOf([&] { closed.close(); }), ErrorNumber::ObjectClosed);
    QCOMPARE(errorNumberOf([&] { closed.execute(QStringLiteral("SELECT 1")); }), ErrorNumber::ObjectClosed);
}

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_datastore.moc"
