#pragma once

#include <QString>

class Recordset;

// One unit of database work on the shared connection. Making it opens the shared connection and shows the
// hourglass; however the work ends, the unit releases the shared recordset, closes and releases the
// connection (a failure to close is ignored: a connection that is gone needs no closing) and gives the mouse
// pointer back the shape it had before.
//
// A unit made while another one runs joins it: it works on the same connection and leaves the ending to the
// outer unit. So a list window's refresh, called by an editor, runs inside the editor's unit of work.
//
//     UnitOfWork work;
//     work.execute(DeleteWebsiteStatement(key));
class UnitOfWork
{
public:
    // Raises AppError when the data file cannot be opened; nothing is left open then.
    UnitOfWork();
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork&) = delete;
    UnitOfWork& operator=(const UnitOfWork&) = delete;

    // Opens a fresh shared recordset on the query and returns it; its rows stay readable until the next read
    // or the end of the unit.
    Recordset& read(const QString& query);
    // The query's rows in a recordset of the caller's own, readable after the unit has ended.
    Recordset snapshot(const QString& query);
    // Runs a statement that changes data; returns how many rows it changed.
    int execute(const QString& statement);

    // Makes the unit all or nothing: the changes from here on are kept only when commit() is called before
    // the unit ends; otherwise, a failure included, they are all undone.
    void beginTransaction();
    void commit();

private:
    bool m_joined;
    int m_pointerBefore;
    bool m_inTransaction = false;
};
