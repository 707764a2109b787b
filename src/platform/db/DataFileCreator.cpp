#include "platform/db/DataFileCreator.h"

#include "platform/db/DbErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

constexpr int FileAlreadyExists = 58;
const QString CreatorConnectionName = QStringLiteral("quillock-data-file-creator");

AppError creationFailure(const QString& path, const QString& reason)
{
    return AppError(
        ErrorNumber::FileAccess,
        QStringLiteral("The data file '%1' cannot be created: %2").arg(QDir::toNativeSeparators(path), reason));
}

// An empty file is a valid empty database; creating it first fixes its permissions before any data goes in.
void createPrivateEmptyFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw creationFailure(path, file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void runStatements(const QString& path, const QStringList& statements)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), CreatorConnectionName);
    db.setDatabaseName(path);
    if (!db.open())
        throw creationFailure(path, sqliteMessage(db.lastError()));
    QSqlQuery query(db);
    db.transaction();
    for (const QString& statement : statements) {
        if (!query.exec(statement))
            throw creationFailure(path, sqliteMessage(query.lastError()));
    }
    if (!db.commit())
        throw creationFailure(path, sqliteMessage(db.lastError()));
}

void closeCreatorConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(CreatorConnectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(CreatorConnectionName);
}

} // namespace

void createDatabaseFile(const QString& path, const QStringList& statements)
{
    if (QFileInfo::exists(path))
        throw AppError(FileAlreadyExists, QStringLiteral("The data file '%1' already exists; it is left as it is.")
                                              .arg(QDir::toNativeSeparators(path)));
    const QString scratchPath = path + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    try {
        createPrivateEmptyFile(scratchPath);
        runStatements(scratchPath, statements);
        closeCreatorConnection();
        if (!QFile::rename(scratchPath, path))
            throw creationFailure(path, QStringLiteral("the finished file could not be moved into place."));
    } catch (...) {
        closeCreatorConnection();
        QFile::remove(scratchPath);
        throw;
    }
}
