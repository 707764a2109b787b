#pragma once

#include <QString>

class RecordListGrid;

// What an editor may reach of the list window that opened it: the window's public key field, its grid's rows,
// current row and cells, and the three refresh methods. The website list, the instruction list and the event
// type list offer it; each gives its key field and its record list grid, and the rest is done here once.
class RecordListWindow
{
public:
    virtual ~RecordListWindow() = default;

    // The key of the record last opened for editing, deleted or appended (mWebsiteID, ...).
    virtual double RecordKey() const = 0;
    // The grid's row count (the heading row included), its current row and the text of a cell.
    int GridRows() const;
    int GridRow() const;
    QString GridTextMatrix(int row, int col) const;

    // Reads the whole list again.
    void FillGrid();
    // Rewrites the current row from the record with the key; runs inside the caller's unit of database work.
    void UpdateGridRow();
    // Appends the newest record and makes its key the key field; runs inside the caller's unit of work.
    void AddGridRow();

protected:
    RecordListWindow() = default;
    RecordListWindow(const RecordListWindow&) = default;
    RecordListWindow& operator=(const RecordListWindow&) = default;

    // Sets the key field that RecordKey returns.
    virtual void setRecordKey(double key) = 0;
    // The grid of the window's records, made with the window.
    virtual RecordListGrid& recordList() const = 0;
};
