// The main window's list order (moving rows and saving their order) and its remembered sizes.

#include "ui/main/frmWebsite.h"

#include "app/HandlerGuard.h"
#include "app/UnitOfWork.h"
#include "app/basModule1.h"
#include "data/NumberText.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/Twips.h"

#include <QFrame>

void frmWebsite::cmdUp_Click()
{
    const int row = MSFlexGrid1->row();
    if (row < 2)
        return; // the heading row and the first record row cannot move up
    swapRows(row - 1, row);
    MSFlexGrid1->setRow(row - 1);
    selectWholeRow(row - 1);
}

void frmWebsite::cmdDown_Click()
{
    const int row = MSFlexGrid1->row();
    if (row < 1 || row >= MSFlexGrid1->rows() - 1)
        return; // only a record row that is not the last can move down
    swapRows(row, row + 1);
    MSFlexGrid1->setRow(row + 1);
    selectWholeRow(row + 1);
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

void frmWebsite::SaveListOrder()
{
    Screen::setMousePointer(Screen::vbHourglass);
    const UnitOfWorkEnd end;
    OpenConnection();
    for (int row = 1; row < MSFlexGrid1->rows(); ++row) {
        gobjConnection->execute(QStringLiteral("UPDATE Website SET ") + QStringLiteral("WebsiteListOrder = ") +
                                QString::number(row) + QStringLiteral(" ") + QStringLiteral("WHERE WebsiteID = ") +
                                MSFlexGrid1->textMatrix(row, 0) + QStringLiteral(" "));
    }
}

// Stores a size in two columns of the settings row, in one unit of database work.
void frmWebsite::saveSize(const QString& heightColumn, double height, const QString& widthColumn, double width)
{
    OpenConnection();
    gobjConnection->execute(QStringLiteral("UPDATE Setup SET ") + heightColumn + QStringLiteral(" = ") +
                            NumberToText(height) + QStringLiteral(", ") + QStringLiteral(" ") + widthColumn +
                            QStringLiteral(" = ") + NumberToText(width) + QStringLiteral(" ") +
                            QStringLiteral("WHERE SetupID = 1"));
    CloseConnection();
}

void frmWebsite::SaveFormSize()
{
    const double height = Height();
    const double width = Width();
    gdblfrmWebsiteHeight = height;
    gdblfrmWebsiteWidth = width;
    saveSize(QStringLiteral("FormHeight"), height, QStringLiteral("FormWidth"), width);
}

// The in-memory launcher size is left as it is; switching to maintenance mode copies it afterwards.
void frmWebsite::SaveFrameSize()
{
    saveSize(QStringLiteral("LauncherHeight"), Twips::fromPixels(fraLauncher->height()),
             QStringLiteral("LauncherWidth"), Twips::fromPixels(fraLauncher->width()));
}
