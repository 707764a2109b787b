// The data store on a real SQLite file in a temporary folder.

#include "domain/data/DataFileSchema.h"
#include "domain/data/SetupStatements.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

using Rows = QList<QStringList>;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int errorNumberOf(const std::function<void()>& work)
{
    return caughtError(work).value_or(AppError(0, QString())).number();
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
    void programFolderOfAnyName_data();
    void programFolderOfAnyName();
};

void TestDataStore::newDataFileIsPrivateAndNeverOverwritten()
{
    TempDataFolder folder;
    const QString path = folder.dataFilePath();
    QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName) VALUES ('kept')")});
    const QByteArray before = contentsOf(path);
    QVERIFY(errorNumberOf([&] { createDatabaseFile(path, newDataFileStatements()); }) != 0);
    QCOMPARE(contentsOf(path), before);
}

// The row name says what stands in the data file's place.
void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone_data()
{
    QTest::addColumn<QString>("expectedWords");
    QTest::newRow("truncated database header") << "not a database";
    QTest::newRow("folder") << "not a file";
    QTest::newRow("locked") << "locked by another program";
}

void TestDataStore::unusableFileGivesAnErrorAndIsLeftAlone()
{
    QFETCH(QString, expectedWords);
    const QByteArray kind = QTest::currentDataTag();
    TempDataFolder folder;
    const QString path = folder.dataFilePath();
    Connection otherProgram;
    otherProgram.setConnectionString(DataConnectionString());
    QFile file(path);
    if (kind == "locked") {
        otherProgram.open();
        otherProgram.execute(QStringLiteral("BEGIN EXCLUSIVE"));
    } else if (kind == "folder") {
        QVERIFY(file.remove() && QDir(folder.path()).mkdir(QStringLiteral("Quillock.mdb")));
    } else {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("SQLite format 3\0garbage", 23) == 23 && file.flush());
    }
    const QByteArray before = contentsOf(path);

    const auto error = caughtError([] { OpenConnection(); });
    QVERIFY(error);
    for (const QString& words : {expectedWords, path})
        QVERIFY2(error->description().contains(words), qPrintable(error->description()));
    QCOMPARE(contentsOf(path), before);
    if (kind == "locked") {
        otherProgram.close();
        OpenConnection(); // usable again once the other program lets go
    }
}

void TestDataStore::statements_data()
{
    QTest::addColumn<QStringList>("statements"); // sent in turn through the program's connection
    QTest::addColumn<QString>("failure");        // words of the last statement's error; empty when none fails
    QTest::addColumn<QString>("query");          // read through a recordset, as the windows read
    QTest::addColumn<Rows>("rows");
    const auto row = [](const char* name, const QString& query, const Rows& rows, const QStringList& statements,
                        const QString& failure = {}) { QTest::newRow(name) << statements << failure << query << rows; };

    // A new data file: no master password, a re-lock period to count with, the main window's design size.
    row("new file: settings row", SettingsQuery(),
        {{"1", "", QString::number(NewDataFileRelockMinutes), "0", "", "", "8655", "12885"}}, {});
    row("new file: the step types, Wait being key 4", "SELECT EventTypeID, EventType FROM EventType ORDER BY 1",
        {{"1", "Text"}, {"2", "Enter"}, {"3", "Tab"}, {"4", "Wait"}, {"5", "Shift+Tab"}}, {});
    row("a word where a number goes is refused, as a failed conversion",
        "SELECT NumMinutesBeforeRequiringPasswordAgain FROM Setup", {{"15"}},
        {"UPDATE Setup SET NumMinutesBeforeRequiringPasswordAgain = 'soon'"},
        "NumMinutesBeforeRequiringPasswordAgain takes a number");
    row("top limits the rows, in any case, before a semicolon; Top inside a text value is data",
        "select top 1 a.WebsiteName FROM Website a ORDER BY a.WebsiteName;", {{"SELECT Top 5 "}},
        {"INSERT INTO Website (WebsiteName) VALUES ('SELECT Top 5 '), ('b')"});
    row("a comment at the end keeps Top in force", "SELECT Top 1 a.WebsiteName FROM Website a -- the first only",
        {{"a"}}, {"INSERT INTO Website (WebsiteName) VALUES ('a'), ('b')"});
    row("blanks and semicolons at the end end the statement", "SELECT Top 1 a.WebsiteName FROM Website a ; ;\n",
        {{"a"}}, {"INSERT INTO Website (WebsiteName) VALUES ('a'), ('b')"});
    row("@@Identity is the new key; a deleted last key is not reused", "SELECT @@Identity ", {{"3"}},
        {"INSERT INTO Website (WebsiteName) VALUES ('a'), ('b')", "DELETE From Website WHERE WebsiteID = 2",
         "INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('c', Null)"});
    row("quoted numbers land as numbers, whole reals as whole numbers; a failed statement leaves the data as it was",
        "SELECT NumberOfTimes, typeof(NumberOfTimes) FROM WebsiteInstructions ORDER BY WebsiteInstructionsID",
        {{"10", "integer"}, {"2.5", "real"}, {"7000", "integer"}, {"", "null"}},
        {"INSERT INTO WebsiteInstructions (NumberOfTimes) VALUES ('10'), ('2.5'), (7000.0), (Null)",
         "INSERT INTO WebsiteInstructions (WebsiteInstructionsID, NumberOfTimes) VALUES (9, 1), (1, 2)"},
        "UNIQUE constraint failed");
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

void TestDataStore::recordsetAndConnectionStates()
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
void TestDataStore::programFolderOfAnyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("semicolon and equals") << "a;b=c";
    QTest::newRow("a key after a semicolon") << "x;Data Source=other";
    QTest::newRow("quotes, hash, percent, blanks") << " it's \"my\" #1 100% ?x ";
    QTest::newRow("escapes spelled out") << "%3B%20";
}

void TestDataStore::programFolderOfAnyName()
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
    Connection direct;
    direct.setConnectionString(QStringLiteral("Data Source=") + QDir(folder).filePath(QStringLiteral("Quillock.mdb")));
    direct.open();
    Recordset setup;
    setup.open(QStringLiteral("SELECT FormWidth FROM Setup"), direct);
    QCOMPARE(setup.fields(0).text(), QStringLiteral("4321"));
    QCOMPARE(QDir(parent.path()).entryList(QDir::Files), QStringList()); // nothing made where a cut path leads
}

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_datastore.moc"
