#include "ui/maintenance/RecordListDialog.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/HandlerGuard.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/print/Printout.h"
#include "system/print/basPrintGrid.h"
#include "ui/main/RecordListGrid.h"

#include <QPushButton>

namespace {

// Sizes in twips: the least the window may be made, the buttons above the grid, and the grid's place.
constexpr double MinWidthTwips = 6500;
constexpr double MinHeightTwips = 4000;
constexpr double ButtonTopTwips = 180;
constexpr double ButtonWidthTwips = 885;
constexpr double ButtonHeightTwips = 375;
constexpr double ButtonStepTwips = 1005;
constexpr double GridLeftTwips = 180;
constexpr double GridTopTwips = 660;

} // namespace

RecordListDialog::RecordListDialog(const QString& caption, const Layout& layout, RecordListSettings settings,
                                   QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(caption);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    addButton("cmdAdd", QStringLiteral("&Add"), layout.buttonsLeftTwips, &RecordListDialog::cmdAdd_Click);
    addButton("cmdDelete", QStringLiteral("&Delete"), layout.buttonsLeftTwips + ButtonStepTwips,
              &RecordListDialog::cmdDelete_Click);
    addButton("cmdClose", QStringLiteral("&Close"), layout.buttonsLeftTwips + 2 * ButtonStepTwips,
              &RecordListDialog::cmdClose_Click);
    addButton("cmdPrintGrid", QStringLiteral("&Print"), layout.buttonsLeftTwips + 3 * ButtonStepTwips,
              &RecordListDialog::cmdPrintGrid_Click);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleListName(caption);
    FormSize::placeControlTwips(*MSFlexGrid1, GridLeftTwips, GridTopTwips, layout.widthTwips - 2 * GridLeftTwips,
                                layout.heightTwips - 1.5 * GridTopTwips);
    m_list = std::make_unique<RecordListGrid>(*MSFlexGrid1, std::move(settings));
    resize(Twips::toPixels(layout.widthTwips), Twips::toPixels(layout.heightTwips));

    connect(MSFlexGrid1, &FlexGrid::dblClick, this, &RecordListDialog::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyDown, this, &RecordListDialog::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::mouseDown, this, &RecordListDialog::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FlexGrid::mouseUp, this, &RecordListDialog::MSFlexGrid1_MouseUp);
    connect(MSFlexGrid1, &FlexGrid::selChange, this, &RecordListDialog::MSFlexGrid1_SelChange);
}

RecordListDialog::~RecordListDialog() = default;

void RecordListDialog::addButton(const char* name, const QString& caption, double leftTwips,
                                 void (RecordListDialog::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false); // Enter in the grid is not a click on a button
    FormSize::placeControlTwips(*button, leftTwips, ButtonTopTwips, ButtonWidthTwips, ButtonHeightTwips);
    connect(button, &QPushButton::clicked, this, handler);
}

// ---- the list-window interface ----

RecordListGrid& RecordListDialog::recordList() const
{
    return *m_list;
}

// ---- loading and sizing ----

void RecordListDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

// A list that cannot be read is reported; the window opens with what it shows so far.
void RecordListDialog::Form_Load()
{
    CenterForm(*this);
    RunHandler(
        [this] {
            FillGrid();
            afterLoad();
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
}

void RecordListDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

// Each correction raises the resize event again, which then finds the size in order.
void RecordListDialog::Form_Resize()
{
    if (isMinimized())
        return;
    if (FormSize::widthTwips(*this) < MinWidthTwips)
        FormSize::setWidthTwips(*this, MinWidthTwips);
    if (FormSize::heightTwips(*this) < MinHeightTwips)
        FormSize::setHeightTwips(*this, MinHeightTwips);
    m_list->FitToWindow(FormSize::widthTwips(*this), FormSize::heightTwips(*this));
}

// ---- commands ----

void RecordListDialog::cmdAdd_Click()
{
    RunHandler([this] {
        gblnNewRecord = true;
        openEditor();
    });
}

void RecordListDialog::cmdDelete_Click()
{
    if (!HasCurrentRecord(*MSFlexGrid1))
        return;
    QString notice;
    RunHandler([this, &notice] {
        setRecordKey(CurrentKey(*MSFlexGrid1));
        UnitOfWork work;
        work.execute(deleteStatement(RecordKey()));
        m_list->RemoveCurrentRow();
        notice = deletedNotice(work, RecordKey());
    });
    if (!notice.isEmpty())
        dialogs().msgBox(notice, Dialogs::vbInformation);
}

void RecordListDialog::cmdPrintGrid_Click()
{
    RunHandler(
        [this] {
            Printout(windowTitle(),
                     [this](Printing::Printer& printer) { PrintListGrid(printer, *MSFlexGrid1, windowTitle()); });
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
}

void RecordListDialog::cmdClose_Click()
{
    close();
}

// ---- grid events ----

void RecordListDialog::MSFlexGrid1_DblClick()
{
    RunHandler([this] {
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        gblnNewRecord = false;
        setRecordKey(CurrentKey(*MSFlexGrid1));
        openEditor();
    });
}

void RecordListDialog::MSFlexGrid1_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == FlexGrid::DeleteKeyCode)
        cmdDelete_Click();
}

void RecordListDialog::MSFlexGrid1_MouseDown()
{
    m_list->MouseDown();
}

void RecordListDialog::MSFlexGrid1_MouseUp()
{
    m_list->MouseUp();
}

void RecordListDialog::MSFlexGrid1_SelChange()
{
    m_list->SelChange();
}
