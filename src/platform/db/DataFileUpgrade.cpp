#include "platform/db/DataFileUpgrade.h"

#include "domain/data/DataFileVersions.h"
#include "domain/error/AppError.h"
#include "platform/db/DbErrors.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

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

void runUpgrade(QSqlQuery& query, const QString& path, int fromVersion)
{
    for (const QString& statement : dataFileUpgradeStatements(fromVersion)) {
        if (!query.exec(statement))
            throw upgradeFailure(path, fromVersion, sqliteMessage(query.lastError()));
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        throw upgradeFailure(path, fromVersion, sqliteMessage(query.lastError()));
}

} // namespace

void bringDataFileUpToDate(const QSqlDatabase& database, const QString& path)
{
    QSqlQuery query(database);
    const int version = storedVersion(query, path);
    if (version == currentDataFileVersion())
        return;
    refuseUnknownVersion(version, path);

    // IMMEDIATE takes the write lock now: of two programs opening the same old file, one upgrades it and the other
    // waits, then finds it current.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw upgradeFailure(path, version, sqliteMessage(query.lastError()));
    try {
        const int lockedVersion = storedVersion(query, path);
        refuseUnknownVersion(lockedVersion, path);
        runUpgrade(query, path, lockedVersion);
    } catch (...) {
        // SQLite may have ended the transaction itself (a full disk, for one); then there is nothing to undo.
        query.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
