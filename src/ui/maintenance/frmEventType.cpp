#include "ui/maintenance/frmEventType.h"

#include "app/HandlerGuard.h"
#include "app/UnitOfWork.h"
#include "app/basModule1.h"
#include "data/EventTypeStatements.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "ui/ModalWindow.h"
#include "ui/main/RecordListGrid.h"
#include "ui/maintenance/frmEditEventType.h"

#include <QPushButton>

namespace {

constexpr int DeleteKey = 46;

// Sizes in twips: the window as first shown, the least it may be made, the buttons above the grid.
constexpr double DesignWidth = 8000;
constexpr double DesignHeight = 5500;
constexpr double MinWidth = 6500;
constexpr double MinHeight = 4000;
constexpr double ButtonTop = 180;
constexpr double ButtonWidth = 885;
constexpr double ButtonHeight = 375;
constexpr double GridLeft = 180;
constexpr double GridTop = 660;

RecordListSettings eventTypeListSettings()
{
    RecordListSettings settings;
    settings.fillStatement = EventTypeListQuery;
    settings.refreshStatement = EventTypeRowQuery;
    settings.newKeyStatement = NewestEventTypeKeyQuery();
    settings.hiddenColumns = {0};
    return settings;
}

} // namespace

frmEventType::frmEventType(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Event Type"));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    cmdAdd = addButton("cmdAdd", QStringLiteral("&Add"), 195, &frmEventType::cmdAdd_Click);
    cmdDelete = addButton("cmdDelete", QStringLiteral("&Delete"), 1200, &frmEventType::cmdDelete_Click);
    cmdClose = addButton("cmdClose", QStringLiteral("&Close"), 2205, &frmEventType::cmdClose_Click);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(windowTitle());
    FormSize::placeControl(*MSFlexGrid1, GridLeft, GridTop, DesignWidth - 2 * GridLeft, DesignHeight - 1.5 * GridTop);
    m_list = std::make_unique<RecordListGrid>(*MSFlexGrid1, eventTypeListSettings());
    resize(Twips::toPixels(DesignWidth), Twips::toPixels(DesignHeight));

    connect(MSFlexGrid1, &FlexGrid::dblClick, this, &frmEventType::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyDown, this, &frmEventType::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::mouseDown, this, &frmEventType::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FlexGrid::mouseUp, this, &frmEventType::MSFlexGrid1_MouseUp);
    connect(MSFlexGrid1, &FlexGrid::selChange, this, &frmEventType::MSFlexGrid1_SelChange);
}

frmEventType::~frmEventType() = default;

QPushButton* frmEventType::addButton(const char* name, const QString& caption, double left,
                                     void (frmEventType::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    FormSize::placeControl(*button, left, ButtonTop, ButtonWidth, ButtonHeight);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void frmEventType::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

// An empty table opens the editor at once, to add the first event type.
void frmEventType::Form_Load()
{
    RunHandler(
        [this] {
            CenterForm(*this);
            FillGrid();
            if (MSFlexGrid1->rows() == 1)
                cmdAdd_Click();
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
}

// ---- the list-window interface ----

int frmEventType::GridRows() const
{
    return MSFlexGrid1->rows();
}

int frmEventType::GridRow() const
{
    return MSFlexGrid1->row();
}

QString frmEventType::GridTextMatrix(int row, int col) const
{
    return MSFlexGrid1->textMatrix(row, col);
}

void frmEventType::FillGrid()
{
    m_list->FillGrid();
}

void frmEventType::UpdateGridRow()
{
    m_list->UpdateGridRow(mEventTypeID);
}

void frmEventType::AddGridRow()
{
    mEventTypeID = m_list->AddGridRow();
}

// ---- commands ----

void frmEventType::cmdAdd_Click()
{
    RunHandler([this] {
        gblnNewRecord = true;
        ModalWindow<frmEditEventType>::Show(*this, this);
    });
}

// Deleted at once, without a question; instructions of that type stay in the data file but are no longer
// listed or replayed.
void frmEventType::cmdDelete_Click()
{
    RunHandler([this] {
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        mEventTypeID = CurrentKey(*MSFlexGrid1);
        UnitOfWork work;
        work.execute(DeleteEventTypeStatement(mEventTypeID));
        m_list->RemoveCurrentRow();
    });
}

void frmEventType::cmdClose_Click()
{
    close();
}

// ---- grid events ----

void frmEventType::MSFlexGrid1_DblClick()
{
    RunHandler([this] {
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        gblnNewRecord = false;
        mEventTypeID = CurrentKey(*MSFlexGrid1);
        ModalWindow<frmEditEventType>::Show(*this, this);
    });
}

void frmEventType::MSFlexGrid1_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == DeleteKey)
        cmdDelete_Click();
}

void frmEventType::MSFlexGrid1_MouseDown()
{
    m_list->MouseDown();
}

void frmEventType::MSFlexGrid1_MouseUp()
{
    m_list->MouseUp();
}

void frmEventType::MSFlexGrid1_SelChange()
{
    m_list->SelChange();
}

// ---- size ----

void frmEventType::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

// Each correction raises the resize event again, which then finds the size in order.
void frmEventType::Form_Resize()
{
    if (isMinimized())
        return;
    if (FormSize::width(*this) < MinWidth)
        FormSize::setWidth(*this, MinWidth);
    if (FormSize::height(*this) < MinHeight)
        FormSize::setHeight(*this, MinHeight);
    m_list->FitToWindow(FormSize::width(*this), FormSize::height(*this));
}
