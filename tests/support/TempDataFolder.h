#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A program folder in a temporary directory holding a new data file; the program is pointed at it for
// the fixture's lifetime.
class TempDataFolder
{
public:
    TempDataFolder();
    // A data file written by the statements given instead, such as the ones an earlier build ran.
    explicit TempDataFolder(const QStringList& dataFileStatements);
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString dataFilePath() const;
    // Runs statements on the data file directly, outside the program's own connection.
    void execute(const QStringList& statements) const;
    // Runs statements as the builds before the number checks did, so that words get into number columns: the
    // checks and the file's triggers are set aside for them and put back, as in an old file brought up to date.
    void executeUnchecked(const QStringList& statements) const;
    // The first column of a query's rows, read the same way.
    QStringList column(const QString& query) const;

private:
    QTemporaryDir m_dir;
};

// What the file at the path holds: "(none)" when nothing is there, "(no regular file)" for a folder, a FIFO and the
// like, whose reading could block.
QByteArray fileBytes(const QString& path);
