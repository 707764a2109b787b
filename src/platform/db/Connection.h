#pragma once

#include <QString>

class QSqlDatabase;

// The database connection, shaped like the one the system was designed for: a connection string
// "Provider=...;Data Source=<path>", a cursor location, Open, Execute and Close. It opens an existing
// SQLite file read-write and never creates one. Statements are passed as the program builds them;
// the two forms SQLite lacks ("SELECT Top N ..." and "SELECT @@Identity") are translated here.
class Connection
{
public:
    static constexpr int adUseClient = 3;
    static constexpr int adOptionUnspecified = -1;

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& connectionString) { m_connectionString = connectionString; }
    const QString& connectionString() const { return m_connectionString; }
    void setCursorLocation(int cursorLocation) { m_cursorLocation = cursorLocation; }
    int cursorLocation() const { return m_cursorLocation; }

    // Opens the data file named by the connection string's Data Source and brings an older file up to date.
    // Raises AppError when the file is missing, locked, not a database or newer than this program, or when it
    // cannot be brought up to date; the file is then left as it was.
    void open(const QString& userId = {}, const QString& password = {}, int options = adOptionUnspecified);
    // Runs a statement that changes data; returns how many rows it changed, inserted or deleted (0 for an
    // UPDATE whose row is gone).
    int execute(const QString& statement);
    // A transaction: the changes after BeginTrans are kept by CommitTrans, or all undone by RollbackTrans.
    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    // Raises AppError when the connection is not open.
    void close();
    bool isOpen() const;

    // The path the connection string names, or the empty text when it names none. Data Source is the last key:
    // the path is the rest of the text, whatever characters it holds.
    QString dataSource() const;
    // The underlying database, for the recordset of this connection.
    QSqlDatabase database() const;

private:
    QString m_connectionString;
    int m_cursorLocation = 2;
    QString m_qtConnectionName;
};
