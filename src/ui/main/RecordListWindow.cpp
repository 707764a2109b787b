#include "ui/main/RecordListWindow.h"

#include "platform/grid/FlexGrid.h"
#include "ui/main/RecordListGrid.h"

int RecordListWindow::GridRows() const
{
    return recordList().grid().rows();
}

int RecordListWindow::GridRow() const
{
    return recordList().grid().row();
}

QString RecordListWindow::GridTextMatrix(int row, int col) const
{
    return recordList().grid().textMatrix(row, col);
}

void RecordListWindow::FillGrid()
{
    recordList().FillGrid();
}

void RecordListWindow::UpdateGridRow()
{
    recordList().UpdateGridRow(RecordKey());
}

void RecordListWindow::AddGridRow()
{
    setRecordKey(recordList().AddGridRow());
}
