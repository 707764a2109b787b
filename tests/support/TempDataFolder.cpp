#include "support/TempDataFolder.h"

#include "app/basModule1.h"
#include "data/DataFileSchema.h"
#include "platform/app/Application.h"
#include "platform/db/DataFileCreator.h"

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

void TempDataFolder::execute(const QStringList& statements) const
{
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=") + dataFilePath());
    connection.open();
    for (const QString& statement : statements)
        connection.execute(statement);
    connection.close();
}
