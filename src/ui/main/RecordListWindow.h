#pragma once

#include <QString>

// What an editor may reach of the list window that opened it: the window's public key field, its grid's rows,
// current row and cells, and the three refresh methods. The website list, the instruction list and the event
// type list offer it.
class RecordListWindow
{
public:
    virtual ~RecordListWindow() = default;

    // The key of the record last opened for editing, deleted or appended (mWebsiteID, ...).
    virtual double RecordKey() const = 0;
    // The grid's row count (the heading row included), its current row and the text of a cell.
    virtual int GridRows() const = 0;
    virtual int GridRow() const = 0;
    virtual QString GridTextMatrix(int row, int col) const = 0;

    // Reads the whole list again.
    virtual void FillGrid() = 0;
    // Rewrites the current row from the record with the key; runs inside the caller's unit of database work.
    virtual void UpdateGridRow() = 0;
    // Appends the newest record and makes its key the key field; runs inside the caller's unit of work.
    virtual void AddGridRow() = 0;

protected:
    RecordListWindow() = default;
    RecordListWindow(const RecordListWindow&) = default;
    RecordListWindow& operator=(const RecordListWindow&) = default;
};
