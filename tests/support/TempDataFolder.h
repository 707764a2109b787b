#pragma once

#include <QString>
#include <QTemporaryDir>

// A program folder in a temporary directory holding a new data file; the program is pointed at it for
// the fixture's lifetime.
class TempDataFolder
{
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString dataFilePath() const;
    // Runs statements on the data file directly, outside the program's own connection.
    void execute(const QStringList& statements) const;
    // The first column of a query's rows, read the same way.
    QStringList column(const QString& query) const;

private:
    QTemporaryDir m_dir;
};
