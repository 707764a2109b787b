#pragma once

#include "system/app/StoredTexts.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class FlexGrid;
class Recordset;
class StoredTextBatch;

// What tells one list window's grid from another's.
struct RecordListSettings
{
    // The statement that fills the grid.
    std::function<QString()> fillStatement;
    // The statement that reads one record by its key, for a refresh and for an appended row.
    std::function<QString(double key)> refreshStatement;
    // The statement that finds the newest key.
    QString newKeyStatement;
    // Columns that hold a stored text, shown deciphered: the column, the column of its row's key, and its place.
    struct StoredTextColumn
    {
        int column;
        int keyColumn;
        StoredTextPlace (*place)(const QString& key);
    };
    QList<StoredTextColumn> decipheredColumns;
    // Columns kept at width 0.
    QList<int> hiddenColumns;
    // The website list keeps the list order in column 3, fills in missing orders, and copies it to an
    // extra column.
    bool keepsListOrder = false;
};

// The behaviour that the three list windows share: filling the grid, refreshing or appending one row
// after an edit, whole-row selection, and keeping the grid sized to the window.
class RecordListGrid
{
public:
    // Measured text wider than this is cut off; narrower columns get a margin that shrinks as they widen.
    static constexpr double MaxColumnWidthTwips = 8000;
    static constexpr double MinColumnWidthTwips = 600;

    RecordListGrid(FlexGrid& grid, RecordListSettings settings);

    // The grid it fills.
    const FlexGrid& grid() const { return m_grid; }

    // Reads the whole list. Like the two below, a unit of database work that joins the caller's, if any.
    void FillGrid();
    // Rewrites the current row from the record with the key.
    void UpdateGridRow(double key);
    // Appends the newest record and returns its key.
    double AddGridRow();

    // Takes the current row out after its record was deleted, without reading the list again: an only record
    // row leaves the heading row; otherwise the grid takes the focus and the row that moved into the deleted
    // row's place is selected whole.
    void RemoveCurrentRow();
    // Makes the selection the whole of the given row (the current one), every column of it.
    void SelectWholeRow(int row);

    void MouseDown();
    void MouseUp();
    void SelChange();
    // Keeps the grid's left and top, with equal side margins and a bottom margin of half its top.
    void FitToWindow(double innerWidthTwips, double innerHeightTwips);

    // The column width for the widest measured text of a column.
    static double ColumnWidthTwips(double widestTextTwips);
    // The width of a text in the grid's font.
    double TextWidthTwips(const QString& text) const;

    // Why the cell of a deciphered column cannot be read, in words that follow "... cannot be read: ": the
    // character that another program stored and the field cipher lacks, or the failed check of a protected file's
    // value; empty when it was read. Such a cell shows why.
    QString unreadableReason(int row, int col) const;

private:
    // The cell's text; a deciphered column's text is taken from the batch, when one is given, at the record's place.
    QString cellText(int column, const Recordset& record, StoredTextBatch* batch = nullptr,
                     std::size_t recordIndex = 0);
    // The deciphered columns' texts of every record, record by record in the order of decipheredColumns.
    std::unique_ptr<StoredTextBatch> decipheredTexts(Recordset& records) const;
    void fillRows(Recordset& records, int columnCount);
    void fillInListOrder(int row, double& previousOrder);
    void setColumnWidths(int columnCount);
    void scrollToLastRow();

    FlexGrid& m_grid;
    RecordListSettings m_settings;
    // The cells that could not be deciphered, by their record's key and column: rows move, keys stay.
    QHash<std::pair<QString, int>, QString> m_unreadable;
};

// Whether an event handler may open a record of the grid: there is a record row and it is current.
bool HasCurrentRecord(const FlexGrid& grid);
// The current record's key, from column 0.
double CurrentKey(const FlexGrid& grid);
