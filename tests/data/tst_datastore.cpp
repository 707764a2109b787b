// The data store on a real SQLite file in a temporary folder: the program's statement texts run
// unchanged, and a file that is missing, broken or locked gives a clear error and is left as it was.

#include "app/basModule1.h"
#include "data/DataFileSchema.h"
#include "data/SetupStatements.h"
#include "platform/db/DataFileCreator.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using Rows = QList<QStringList>;

namespace {

// Every row of a query, read through a fresh recordset as the windows do.
Rows queryRows(const QString& statement)
{
    Recordset rows;
    rows.open(statement, *gobjConnection);
    Rows result;
    for (; !rows.eof(); rows.moveNext()) {
        result << QStringList();
        for (int i = 0; i < rows.fieldCount(); ++i)
            result.last() << rows.fields(i).text();
    }
    return result;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void newDataFileIsPrivateAndNeverOverwritten();
    void unusableFileGivesAnErrorAndIsLeftAlone_data();
    void unusableFileGivesAnErrorAndIsLeftAlone();
    void statements_data();
    void statements();
    void recordsetAndConnectionStates();
};

void TestDataStore::newDataFileIsPrivateAndNeverOverwritten()
{
    TempDataFolder folder;
    const QFile::Permissions permissions = QFile::permissions(folder.dataFilePath());
    QCOMPARE(permissions & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QVERIFY(permissions & QFile::ReadOwner);

    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('kept')")});
    const QByteArray before = contentsOf(folder.dataFilePath());
    QVERIFY(errorNumberOf([&] { createDatabaseFile(folder.dataFilePath(), newDataFileStatements()); }) != 0);
    QCOMPARE(contentsOf(folder.dataFilePath()), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Quillock.mdb")});
}

// The row name says what stands in the data file's place.
void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone_data()
{
    QTest::addColumn<QString>("expectedWords");
    QTest::newRow("missing") << "does not exist";
    QTest::newRow("truncated database header") << "not a database";
    QTest::newRow("folder") << "not a file";
    QTest::newRow("locked") << "locked by another program";
}

void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone()
{
    QFETCH(QString, expectedWords);
    const QString kind = QString::fromLatin1(QTest::currentDataTag());
    TempDataFolder folder;
    const QString path = folder.dataFilePath();
    {
        QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(path);
        if (kind == "locked") {
            QVERIFY(locker.open());
            QVERIFY(QSqlQuery(locker).exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
            QVERIFY(QSqlQuery(locker).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        } else {
            QVERIFY(QFile::remove(path));
        }
        if (kind == "folder")
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Quillock.mdb")));
        if (QFile file(path); kind.startsWith("truncated"))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("SQLite format 3\0garbage", 23) == 23);
        const QByteArray before = contentsOf(path);

        const auto error = caughtError([] { OpenConnection(); });
        QVERIFY(error);
        QVERIFY2(error->description().contains(expectedWords), qPrintable(error->description()));
        QVERIFY2(error->description().contains(path), qPrintable(error->description()));
        QCOMPARE(contentsOf(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 kind == "missing" ? 0 : 1);
        locker.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    if (kind == "locked")
        OpenConnection(); // usable again once the other program lets go
}

void TestDataStore::statements_data()
{
    QTest::addColumn<QStringList>("statements"); // sent in turn through the program's connection
    QTest::addColumn<QString>("failure");        // words of the last statement's error; empty when none fails
    QTest::addColumn<QString>("query");
    QTest::addColumn<Rows>("rows");
    const auto row = [](const char* name, const QString& query, const Rows& rows, const QStringList& statements = {},
                        const QString& failure = {}) { QTest::newRow(name) << statements << failure << query << rows; };

    row("new file: settings row", SettingsQuery(),
        {{"1", "", QString::number(NewDataFileRelockMinutes), "0", "", "", "8655", "12885"}});
    row("new file: event types, Wait is 4", "SELECT EventType, EventTypeID = 4 FROM EventType ORDER BY EventType",
        {{"Enter", "0"}, {"Shift+Tab", "0"}, {"Tab", "0"}, {"Text", "0"}, {"Wait", "1"}});
    row("top limits the rows, in any case, before a semicolon",
        "select top 3 a.EventType FROM EventType a ORDER BY a.EventType;", {{"Enter"}, {"Shift+Tab"}, {"Tab"}});
    row("Top inside a text value is data", "SELECT WebsiteName FROM Website", {{"SELECT Top 5 "}},
        {"INSERT INTO Website (WebsiteName) VALUES ('SELECT Top 5 ')"});
    row("@@Identity is the new key; a deleted last key is not reused", "SELECT @@Identity ", {{"3"}},
        {"INSERT INTO Website (WebsiteName) VALUES ('a')", "INSERT INTO Website (WebsiteName) VALUES ('b')",
         "DELETE From Website WHERE WebsiteID = 2",
         "INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('c', Null)"});
    row("quoted numbers land as numbers, whole reals as whole numbers",
        "SELECT NumberOfTimes, typeof(NumberOfTimes) FROM WebsiteInstructions ORDER BY WebsiteInstructionsID",
        {{"10", "integer"}, {"2.5", "real"}, {"7000", "integer"}, {"", "null"}},
        {"INSERT INTO WebsiteInstructions (NumberOfTimes) VALUES ('10'), ('2.5'), (7000.0), (Null)"});
    row("Null sorts first", "SELECT a.WebsiteName FROM Website a ORDER BY WebsiteListOrder",
        {{"never moved"}, {"b"}, {"c"}},
        {"INSERT INTO Website (WebsiteName, WebsiteListOrder) VALUES ('b', 1), ('never moved', Null), ('c', 2)"});
    row("failed statement leaves the data as it was", "SELECT WebsiteName FROM Website", {{"a"}},
        {"INSERT INTO Website (WebsiteName) VALUES ('a')",
         "UPDATE Website SET WebsiteName = 'b' WHERE NoSuchColumn = 1"},
        "NoSuchColumn");
}

void TestDataStore::statements()
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
        if (error) {
            QCOMPARE(error->number(), ErrorNumber::StatementFailure);
            QVERIFY2(error->description().contains(failure), qPrintable(error->description()));
        }
    }
    QCOMPARE(queryRows(query), rows);
}

void TestDataStore::recordsetAndConnectionStates()
{
    TempDataFolder folder;
    OpenConnection();
    OpenConnection(); // replaces the open connection
    gobjRecordset->open(SettingsQuery(), *gobjConnection);
    QCOMPARE(gobjRecordset->fields(QStringLiteral("setupid")).text(), QStringLiteral("1"));
    QVERIFY(gobjRecordset->fields(QStringLiteral("LauncherWidth")).isNull());
    QCOMPARE(gobjRecordset->fields(7).name(), QStringLiteral("FormWidth"));
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(QStringLiteral("NoSuchField")); }) != 0);
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(8); }) != 0);
    gobjRecordset->moveNext();
    QVERIFY(gobjRecordset->eof());
    QVERIFY(errorNumberOf([] { gobjRecordset->fields(0); }) != 0);
    gobjRecordset->moveFirst();
    QVERIFY(!gobjRecordset->eof());

    gobjRecordset->close();

    // The snapshot outlives the connection.
    gobjRecordset->open(QStringLiteral("SELECT EventType FROM EventType WHERE EventTypeID = 4"), *gobjConnection);
    CloseConnection();
    QCOMPARE(gobjRecordset->fields(QStringLiteral("EventType")).text(), QStringLiteral("Wait"));
    gobjRecordset->close();
    QCOMPARE(errorNumberOf([] { gobjRecordset->eof(); }), ErrorNumber::ObjectClosed);
    QCOMPARE(errorNumberOf([] { CloseConnection(); }), ErrorNumber::ObjectNotSet);

    Connection closed;
    closed.setConnectionString(DataConnectionString());
    QCOMPARE(errorNumberOf([&] { closed.close(); }), ErrorNumber::ObjectClosed);
    QCOMPARE(errorNumberOf([&] { closed.execute(QStringLiteral("SELECT 1")); }), ErrorNumber::ObjectClosed);
}

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_datastore.moc"
