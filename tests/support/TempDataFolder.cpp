#include "support/TempDataFolder.h"

#include "domain/data/DataFileVersions.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "platform/db/Recordset.h"
#include "system/app/basModule1.h"

#include <QFile>
#include <QFileInfo>

TempDataFolder::TempDataFolder() : TempDataFolder(currentDataFileStatements())
{}

TempDataFolder::TempDataFolder(const QStringList& dataFileStatements)
{
    createDatabaseFile(dataFilePath(), dataFileStatements);
    Application::setPath(m_dir.path());
}

TempDataFolder::~TempDataFolder()
{
    gobjRecordset.release();
    gobjConnection.reset();
    Application::setPath(QString());
}

QString TempDataFolder::dataFilePath() const
{
    return m_dir.filePath(QStringLiteral("Quillock.mdb"));
}

namespace {

Connection& openOn(Connection& connection, const QString& dataFile)
{
    connection.setConnectionString(QStringLiteral("Data Source=") + dataFile);
    connection.open();
    return connection;
}

} // namespace

void TempDataFolder::execute(const QStringList& statements) const
{
    Connection connection;
    openOn(connection, dataFilePath());
    for (const QString& statement : statements)
        connection.execute(statement);
}

QStringList TempDataFolder::column(const QString& query) const
{
    Connection connection;
    Recordset rows;
    rows.open(query, openOn(connection, dataFilePath()));
    QStringList values;
    for (; !rows.eof(); rows.moveNext())
        values << rows.fields(0).text();
    return values;
}

void TempDataFolder::executeUnchecked(const QStringList& statements) const
{
    Connection connection;
    Recordset triggers;
    triggers.open(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'trigger'"),
                  openOn(connection, dataFilePath()));
    QStringList dropped;
    QStringList restored;
    for (; !triggers.eof(); triggers.moveNext()) {
        dropped << QStringLiteral("DROP TRIGGER \"%1\"").arg(triggers.fields(0).text());
        restored << triggers.fields(1).text();
    }
    connection.execute(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
    connection.beginTrans();
    for (const QString& statement : dropped + statements + restored)
        connection.execute(statement);
    connection.commitTrans();
}

QByteArray fileBytes(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return "(no regular file)";
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(none)";
}
