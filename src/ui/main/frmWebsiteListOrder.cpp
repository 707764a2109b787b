// The main window's list order: moving rows up and down the grid, and saving their order.

#include "ui/main/frmWebsite.h"

#include "domain/data/WebsiteStatements.h"
#include "platform/grid/FlexGrid.h"
#include "system/app/HandlerGuard.h"
#include "system/app/UnitOfWork.h"
#include "ui/main/RecordListGrid.h"

void frmWebsite::cmdUp_Click()
{
    const int row = MSFlexGrid1->row();
    if (row < 2)
        return; // the heading row and the first record row cannot move up
    swapRows(row - 1, row);
    MSFlexGrid1->setRow(row - 1);
    m_list->SelectWholeRow(row - 1);
}

void frmWebsite::cmdDown_Click()
{
    const int row = MSFlexGrid1->row();
    if (row < 1 || row >= MSFlexGrid1->rows() - 1)
        return; // only a record row that is not the last can move down
    swapRows(row, row + 1);
    MSFlexGrid1->setRow(row + 1);
    m_list->SelectWholeRow(row + 1);
}

// Every column moves, the hidden key and order included; nothing is written until the order is saved.
void frmWebsite::swapRows(int upper, int lower)
{
    for (int col = 0; col < MSFlexGrid1->cols(); ++col) {
        const QString buffer = MSFlexGrid1->textMatrix(upper, col);
        MSFlexGrid1->setTextMatrix(upper, col, MSFlexGrid1->textMatrix(lower, col));
        MSFlexGrid1->setTextMatrix(lower, col, buffer);
    }
}

void frmWebsite::cmdSaveListOrder_Click()
{
    RunHandler([this] { SaveListOrder(); });
}

// All or nothing: a statement that fails, or a program stopped part-way, leaves the old order whole. One
// transaction also writes the file once rather than once a row.
void frmWebsite::SaveListOrder()
{
    UnitOfWork work;
    work.beginTransaction();
    for (int row = 1; row < MSFlexGrid1->rows(); ++row)
        work.execute(WebsiteListOrderStatement(row, MSFlexGrid1->textMatrix(row, 0)));
    work.commit();
}
