#include "support/TempDataFolder.h"

#include "domain/data/DataFileSchema.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"
#include "platform/db/Recordset.h"
#include "system/app/basModule1.h"

TempDataFolder::TempDataFolder()
{
    createDatabaseFile(dataFilePath(), newDataFileStatements());
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
