#include "platform/db/DataFileUpgrade.h"

#include "domain/data/DataFileVersions.h"
#include "domain/error/AppError.h"
#include "platform/db/DbErrors.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <utility>

namespace {

AppError upgradeFailure(const QString& path, int fromVersion, const QString& reason)
{
    return AppError(ErrorNumber::DatabaseFailure,
                    QStringLiteral("The data file '%1' cannot be brought up from version %2 to version %3: %4. "
                                   "It is left as it was.")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(fromVersion)
                        .arg(currentDataFileVersion())
                        .arg(reason));
}

int storedVersion(QSqlQuery& query, const QString& path)
{
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        throw AppError(ErrorNumber::DatabaseFailure,
                       QStringLiteral("The version of the data file '%1' cannot be read: %2.")
                           .arg(QDir::toNativeSeparators(path), sqliteMessage(query.lastError())));
    const int version = query.value(0).toInt();
    query.finish();
    return version;
}

// A newer program wrote the file, or something else did: reading or changing it could lose what it holds.
void refuseUnknownVersion(int version, const QString& path)
{
    if (version >= 0 && version <= currentDataFileVersion())
        return;
    throw AppError(ErrorNumber::DatabaseFailure,
                   QStringLiteral("The data file '%1' has version %2, and this program reads versions 0 to %3: a "
                                  "newer Quillock may have written it. It is left as it is.")
                       .arg(QDir::toNativeSeparators(path))
                       .arg(version)
                       .arg(currentDataFileVersion()));
}

// A file without one of the tables every data file has is none of ours, or damaged: it is named before anything
// reads or changes the file.
void refuseMissingTables(QSqlQuery& query, const QString& path)
{
    QStringList missing = requiredDataFileTables();
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        throw AppError(ErrorNumber::DatabaseFailure,
                       QStringLiteral("The tables of the data file '%1' cannot be read: %2.")
                           .arg(QDir::toNativeSeparators(path), sqliteMessage(query.lastError())));
    while (query.next())
        missing.removeAll(query.value(0).toString());
    query.finish();
    if (missing.isEmpty())
        return;
    throw AppError(ErrorNumber::DatabaseFailure,
                   QStringLiteral("The data file '%1' has no table %2, which every Quillock data file has: it is "
                                  "damaged, or another program wrote it. It is left as it is.")
                       .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral(", "))));
}

// A file that cannot be written is not brought up to date; the caller reads it as it is.
struct ReadOnlyFile
{};

[[noreturn]] void fail(const QSqlQuery& query, const QString& path, int fromVersion)
{
    if (isReadOnlyError(query.lastError()))
        throw ReadOnlyFile{};
    throw upgradeFailure(path, fromVersion, sqliteMessage(query.lastError()));
}

void exec(QSqlQuery& query, const QString& statement, const QString& path, int fromVersion)
{
    if (!query.exec(statement))
        fail(query, path, fromVersion);
}

// The values are read whole first, then each written back by its key with bound values.
void runRewrite(QSqlQuery& query, const DataFileRewrite& rewrite, const QString& path, int fromVersion)
{
    exec(query,
         QStringLiteral("SELECT %1, %2 FROM %3 WHERE %2 IS NOT NULL AND %2 <> ''")
             .arg(rewrite.keyColumn, rewrite.column, rewrite.table),
         path, fromVersion);
    QList<std::pair<QVariant, QString>> values;
    while (query.next())
        values.append({query.value(0), query.value(1).toString()});
    query.finish();
    for (const auto& [key, value] : values) {
        QString rewritten;
        try {
            rewritten = rewrite.rewritten(value);
        } catch (const AppError& error) {
            throw upgradeFailure(path, fromVersion, error.description());
        }
        query.prepare(
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?").arg(rewrite.table, rewrite.column, rewrite.keyColumn));
        query.addBindValue(rewritten.isEmpty() ? QVariant() : QVariant(rewritten));
        query.addBindValue(key);
        if (!query.exec())
            fail(query, path, fromVersion);
    }
}

void runUpgrade(QSqlQuery& query, const QString& path, int fromVersion)
{
    for (const QString& statement : dataFileUpgradeStatements(fromVersion))
        exec(query, statement, path, fromVersion);
    for (const DataFileRewrite& rewrite : dataFileUpgradeRewrites(fromVersion))
        runRewrite(query, rewrite, path, fromVersion);
    exec(query, QStringLiteral("COMMIT"), path, fromVersion);
}

} // namespace

void bringDataFileUpToDate(const QSqlDatabase& database, const QString& path)
{
    QSqlQuery query(database);
    const int version = storedVersion(query, path);
    refuseUnknownVersion(version, path);
    refuseMissingTables(query, path);
    if (version == currentDataFileVersion())
        return;

    // IMMEDIATE takes the write lock now: of two programs opening the same old file, one upgrades it and the other
    // waits, then finds it current.
    try {
        exec(query, QStringLiteral("BEGIN IMMEDIATE"), path, version);
    } catch (const ReadOnlyFile&) {
        return;
    }
    // SQLite may have ended the transaction itself (a full disk, for one); then there is nothing to undo.
    try {
        const int lockedVersion = storedVersion(query, path);
        refuseUnknownVersion(lockedVersion, path);
        runUpgrade(query, path, lockedVersion);
    } catch (const ReadOnlyFile&) {
        query.exec(QStringLiteral("ROLLBACK"));
    } catch (...) {
        query.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
