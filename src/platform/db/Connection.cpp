#include "platform/db/Connection.h"

#include "domain/error/AppError.h"
#include "platform/db/DataFileUpgrade.h"
#include "platform/db/DbErrors.h"
#include "platform/db/StatementTranslation.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

constexpr int ObjectOpen = 3705;
// How long a statement waits for another program's lock before it fails.
constexpr int BusyTimeoutMilliseconds = 1000;

QString nextQtConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("quillock-connection-%1").arg(counter.fetchAndAddRelaxed(1));
}

// An URI with mode=rw opens an existing file read-write and never creates one.
QString readWriteUri(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=rw");
}

AppError openFailure(const QString& path, const QString& reason)
{
    return AppError(
        ErrorNumber::DatabaseFailure,
        QStringLiteral("The data file '%1' cannot be opened: %2").arg(QDir::toNativeSeparators(path), reason));
}

QString describeOpenFailure(const QSqlError& error)
{
    const QString text = sqliteMessage(error);
    if (text.contains(QStringLiteral("not a database"), Qt::CaseInsensitive))
        return QStringLiteral("it is not a database (%1).").arg(text);
    if (isLockMessage(text))
        return QStringLiteral("it is locked by another program (%1).").arg(text);
    return text + QLatin1Char('.');
}

} // namespace

Connection::Connection() : m_qtConnectionName(nextQtConnectionName())
{}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_qtConnectionName, false);
        if (db.isOpen())
            db.close();
    }
    if (QSqlDatabase::contains(m_qtConnectionName))
        QSqlDatabase::removeDatabase(m_qtConnectionName);
}

// The keys before Data Source are "name=value" pairs ended by ";". Data Source comes last, and its value is the
// rest of the text as it stands: a path may hold any character a folder name can, ";", "=" and quotes included.
QString Connection::dataSource() const
{
    qsizetype start = 0;
    while (start < m_connectionString.size()) {
        const qsizetype equals = m_connectionString.indexOf(QLatin1Char('='), start);
        if (equals < 0)
            return {};
        const qsizetype end = m_connectionString.indexOf(QLatin1Char(';'), start);
        if (end >= 0 && end < equals) { // a piece without a value
            start = end + 1;
            continue;
        }
        const QString key = m_connectionString.mid(start, equals - start).trimmed();
        if (key.compare(QStringLiteral("Data Source"), Qt::CaseInsensitive) == 0)
            return m_connectionString.mid(equals + 1);
        if (end < 0)
            return {};
        start = end + 1;
    }
    return {};
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_qtConnectionName, false);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_qtConnectionName) && database().isOpen();
}

void Connection::open(const QString& /*userId*/, const QString& /*password*/, int /*options*/)
{
    if (isOpen())
        throw AppError(ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
    const QString path = dataSource();
    if (path.isEmpty())
        throw AppError(ErrorNumber::DatabaseFailure,
                       QStringLiteral("The connection string names no data file (Data Source)."));
    const QFileInfo file(path);
    if (!file.exists())
        throw openFailure(path, QStringLiteral("the file does not exist."));
    if (!file.isFile())
        throw openFailure(path, QStringLiteral("it is not a file."));

    QSqlDatabase db = QSqlDatabase::contains(m_qtConnectionName)
                          ? database()
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_qtConnectionName);
    db.setDatabaseName(readWriteUri(path));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMilliseconds));
    if (!db.open())
        throw openFailure(path, describeOpenFailure(db.lastError()));

    // SQLite reads the file lazily: reading its catalogue is what tells a database from any other file.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QString reason = describeOpenFailure(probe.lastError());
        probe.finish();
        db.close();
        throw openFailure(path, reason);
    }
    probe.finish();

    // Every open checks the file's version, which costs one read when the file is current. Both programs and every
    // tool reach the data file only through this connection, so none of them reads or writes a file of a layout it
    // does not know, and an older file is brought up to date by whichever opens it first. An older file that cannot
    // be written is read as it is; every change to it fails, and says why.
    try {
        bringDataFileUpToDate(db, path);
    } catch (...) {
        db.close();
        throw;
    }
}

int Connection::execute(const QString& statement)
{
    if (!isOpen())
        throw objectClosedError();
    QSqlQuery query(database());
    if (query.exec(translateStatement(statement)))
        return query.numRowsAffected();
    if (isReadOnlyError(query.lastError()))
        throw AppError(ErrorNumber::StatementFailure,
                       QStringLiteral("The data file '%1' cannot be written: the file, or the storage it is on, is "
                                      "read-only (%2). Nothing was changed.")
                           .arg(QDir::toNativeSeparators(dataSource()), sqliteMessage(query.lastError())));
    throw statementError(query.lastError());
}

void Connection::beginTrans()
{
    execute(QStringLiteral("BEGIN"));
}

void Connection::commitTrans()
{
    execute(QStringLiteral("COMMIT"));
}

void Connection::rollbackTrans()
{
    execute(QStringLiteral("ROLLBACK"));
}

void Connection::close()
{
    if (!isOpen())
        throw objectClosedError();
    database().close();
}
