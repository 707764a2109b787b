#include "ui/maintenance/frmWebsiteInstructions.h"

#include "app/HandlerGuard.h"
#include "app/UnitOfWork.h"
#include "app/basModule1.h"
#include "data/InstructionStatements.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "ui/ModalWindow.h"
#include "ui/main/RecordListGrid.h"
#include "ui/maintenance/frmEditWebsiteInstructions.h"

#include <QPushButton>

namespace {

constexpr int DeleteKey = 46;
// The smallest size the window may be given, and the size it opens with, in twips.
constexpr double MinWidth = 6500;
constexpr double MinHeight = 4000;
constexpr double DesignWidth = 9600;
constexpr double DesignHeight = 5400;

RecordListSettings instructionListSettings(const RecordListWindow& websites)
{
    RecordListSettings settings;
    settings.fillStatement = [&websites] {
        return InstructionListQuery(websites.GridTextMatrix(websites.GridRow(), 0));
    };
    settings.refreshStatement = InstructionRowQuery;
    settings.newKeyStatement = NewestInstructionKeyQuery();
    settings.decipheredColumns = {2};
    settings.hiddenColumns = {0, 1, 3};
    return settings;
}

} // namespace

frmWebsiteInstructions::frmWebsiteInstructions(const RecordListWindow& websites, QWidget* owner)
    : QDialog(owner), m_websites(websites)
{
    setWindowTitle(QStringLiteral("Website Instructions"));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    cmdAdd = addButton("cmdAdd", QStringLiteral("&Add"), 180, &frmWebsiteInstructions::cmdAdd_Click);
    cmdDelete = addButton("cmdDelete", QStringLiteral("&Delete"), 1185, &frmWebsiteInstructions::cmdDelete_Click);
    cmdClose = addButton("cmdClose", QStringLiteral("&Close"), 2190, &frmWebsiteInstructions::cmdClose_Click);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(windowTitle());
    FormSize::placeControl(*MSFlexGrid1, 180, 660, DesignWidth - 360, DesignHeight - 990);
    m_list = std::make_unique<RecordListGrid>(*MSFlexGrid1, instructionListSettings(m_websites));
    resize(Twips::toPixels(DesignWidth), Twips::toPixels(DesignHeight));

    connect(MSFlexGrid1, &FlexGrid::dblClick, this, &frmWebsiteInstructions::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyDown, this, &frmWebsiteInstructions::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::mouseDown, this, [this] { m_list->MouseDown(); });
    connect(MSFlexGrid1, &FlexGrid::mouseUp, this, [this] { m_list->MouseUp(); });
    connect(MSFlexGrid1, &FlexGrid::selChange, this, [this] { m_list->SelChange(); });
}

frmWebsiteInstructions::~frmWebsiteInstructions() = default;

QPushButton* frmWebsiteInstructions::addButton(const char* name, const QString& caption, double left,
                                               void (frmWebsiteInstructions::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false); // Enter in the grid is not a click on a button
    FormSize::placeControl(*button, left, 180, 885, 375);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

// ---- the list-window interface ----

int frmWebsiteInstructions::GridRows() const
{
    return MSFlexGrid1->rows();
}

int frmWebsiteInstructions::GridRow() const
{
    return MSFlexGrid1->row();
}

QString frmWebsiteInstructions::GridTextMatrix(int row, int col) const
{
    return MSFlexGrid1->textMatrix(row, col);
}

void frmWebsiteInstructions::FillGrid()
{
    m_list->FillGrid();
}

void frmWebsiteInstructions::UpdateGridRow()
{
    m_list->UpdateGridRow(mWebsiteInstructionsID);
}

void frmWebsiteInstructions::AddGridRow()
{
    mWebsiteInstructionsID = m_list->AddGridRow();
}

// ---- loading and sizing ----

void frmWebsiteInstructions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

// A list that cannot be read is reported; the window opens with what it shows so far.
void frmWebsiteInstructions::Form_Load()
{
    CenterForm(*this);
    RunHandler([this] { FillGrid(); }, [] { Screen::setMousePointer(Screen::vbDefault); });
}

void frmWebsiteInstructions::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

// Each correction raises the resize event again, which then finds the size in order.
void frmWebsiteInstructions::Form_Resize()
{
    if (isMinimized())
        return;
    if (FormSize::width(*this) < MinWidth)
        FormSize::setWidth(*this, MinWidth);
    if (FormSize::height(*this) < MinHeight)
        FormSize::setHeight(*this, MinHeight);
    m_list->FitToWindow(FormSize::width(*this), FormSize::height(*this));
}

// ---- commands ----

void frmWebsiteInstructions::cmdAdd_Click()
{
    RunHandler([this] {
        gblnNewRecord = true;
        ModalWindow<frmEditWebsiteInstructions>::Show(*this, m_websites, this);
    });
}

void frmWebsiteInstructions::MSFlexGrid1_DblClick()
{
    RunHandler([this] {
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        gblnNewRecord = false;
        mWebsiteInstructionsID = CurrentKey(*MSFlexGrid1);
        ModalWindow<frmEditWebsiteInstructions>::Show(*this, m_websites, this);
    });
}

void frmWebsiteInstructions::MSFlexGrid1_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == DeleteKey)
        cmdDelete_Click();
}

// No question is asked: the step goes at once, and the grid loses its row without reading the list again.
void frmWebsiteInstructions::cmdDelete_Click()
{
    if (!HasCurrentRecord(*MSFlexGrid1))
        return;
    RunHandler([this] {
        mWebsiteInstructionsID = CurrentKey(*MSFlexGrid1);
        UnitOfWork work;
        work.execute(DeleteInstructionStatement(mWebsiteInstructionsID));
        m_list->RemoveCurrentRow();
    });
}

void frmWebsiteInstructions::cmdClose_Click()
{
    reject();
}
