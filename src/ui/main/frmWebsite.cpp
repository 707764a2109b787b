#include "ui/main/frmWebsite.h"

#include "app/HandlerGuard.h"
#include "app/MasterPassword.h"
#include "app/StartupSettings.h"
#include "app/UnitOfWork.h"
#include "app/basModule1.h"
#include "data/NumberText.h"
#include "launch/ReplayWebsite.h"
#include "launch/WaitMilliseconds.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/error/AppError.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "ui/main/CommandLabel.h"
#include "ui/main/RecordListGrid.h"

#include <QCloseEvent>
#include <QFrame>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int DeleteKey = 46;
constexpr double MaintenanceMinWidth = 3500;
constexpr double MaintenanceMinHeight = 6000;
// The design size of the window's inner area.
constexpr double DesignInnerWidth = 12885;
constexpr double DesignInnerHeight = 8325;

RecordListSettings websiteListSettings()
{
    RecordListSettings settings;
    settings.fillStatement = [] {
        return QStringLiteral("SELECT a.WebsiteID, a.WebsiteName, a.WebsiteLink, a.WebsiteListOrder ") +
               QStringLiteral("FROM Website a ") + QStringLiteral("ORDER BY WebsiteListOrder");
    };
    settings.refreshStatement = [](double key) {
        return QStringLiteral("SELECT Top 500 a.WebsiteID, a.WebsiteName, a.WebsiteLink ") +
               QStringLiteral("FROM Website a ") + QStringLiteral("WHERE WebsiteID = ") + NumberToText(key) +
               QStringLiteral(" ");
    };
    settings.newKeyStatement = QStringLiteral("SELECT MAX(WebsiteID) FROM Website ");
    settings.decipheredColumns = {1, 2};
    settings.hiddenColumns = {0, 3, 4};
    settings.keepsListOrder = true;
    return settings;
}

} // namespace

frmWebsite::frmWebsite(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillock!"));
    // The captions were laid out for a small 8-point face; larger text would not fit the buttons.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    auto* area = new QWidget(this);
    setCentralWidget(area);
    createButtons(area);
    MSFlexGrid1 = new FlexGrid(area);
    FormSize::placeControl(*MSFlexGrid1, 180, 660, 10380, 7155);
    m_list = std::make_unique<RecordListGrid>(*MSFlexGrid1, websiteListSettings());
    createLauncherPanel(area);
    createMenus();
    setTabOrder();
    resize(Twips::toPixels(DesignInnerWidth), Twips::toPixels(DesignInnerHeight) + menuBar()->sizeHint().height());

    connect(MSFlexGrid1, &FlexGrid::click, this, &frmWebsite::MSFlexGrid1_Click);
    connect(MSFlexGrid1, &FlexGrid::dblClick, this, &frmWebsite::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyDown, this, &frmWebsite::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::mouseDown, this, &frmWebsite::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FlexGrid::mouseUp, this, &frmWebsite::MSFlexGrid1_MouseUp);
    connect(MSFlexGrid1, &FlexGrid::selChange, this, &frmWebsite::MSFlexGrid1_SelChange);
    connect(&tmrMasterPassword, &QTimer::timeout, this, &frmWebsite::tmrMasterPassword_Timer);
    connect(&tmrWait, &QTimer::timeout, this, &frmWebsite::tmrWait_Timer);
}

frmWebsite::~frmWebsite() = default;

void frmWebsite::createButtons(QWidget* area)
{
    auto button = [&](const QString& caption, double left, double top, double width, double height,
                      void (frmWebsite::*handler)()) {
        auto* control = new QPushButton(caption, area);
        FormSize::placeControl(*control, left, top, width, height);
        connect(control, &QPushButton::clicked, this, handler);
        return control;
    };
    cmdAdd = button(QStringLiteral("&Add"), 195, 180, 885, 375, &frmWebsite::cmdAdd_Click);
    cmdDelete = button(QStringLiteral("&Delete"), 1200, 180, 885, 375, &frmWebsite::cmdDelete_Click);
    cmdEnterInstructions =
        button(QStringLiteral("&Enter Instructions"), 2160, 180, 1545, 375, &frmWebsite::cmdEnterInstructions_Click);
    cmdLaunch = button(QStringLiteral("&Launch"), 3780, 180, 1000, 375, &frmWebsite::cmdLaunch_Click);
    cmdSetup = button(QStringLiteral("&Setup"), 5640, 180, 1000, 375, &frmWebsite::cmdSetup_Click);
    cmdClose = button(QStringLiteral("&Close"), 6780, 180, 765, 375, &frmWebsite::cmdClose_Click);
    cmdSaveListOrder =
        button(QStringLiteral("Save List Order"), 8280, 180, 1275, 375, &frmWebsite::cmdSaveListOrder_Click);
    cmdUp = button(QString(), 9660, 60, 375, 615, &frmWebsite::cmdUp_Click);
    cmdDown = button(QString(), 10080, 0, 375, 675, &frmWebsite::cmdDown_Click);
    for (auto [arrow, icon] : {std::pair{cmdUp, QStyle::SP_ArrowUp}, std::pair{cmdDown, QStyle::SP_ArrowDown}}) {
        arrow->setIcon(style()->standardIcon(icon));
        arrow->setIconSize(QSize(32, 32));
    }
    cmdUp->setAccessibleName(QStringLiteral("Up"));
    cmdDown->setAccessibleName(QStringLiteral("Down"));
}

void frmWebsite::createMenus()
{
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuSetup = mnuFile->addAction(QStringLiteral("&Setup"), this, &frmWebsite::mnuSetup_Click);
    mnuPrint = mnuFile->addAction(QStringLiteral("&Print"), this, &frmWebsite::mnuPrint_Click);
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"), this, &frmWebsite::mnuExit_Click);
    QMenu* mnuSupport = menuBar()->addMenu(QStringLiteral("Support"));
    mnuHelp = mnuSupport->addAction(QStringLiteral("&Help"), this, &frmWebsite::mnuHelp_Click);
    mnuContactUs = mnuSupport->addAction(QStringLiteral("&Contact Us"), this, &frmWebsite::mnuContactUs_Click);
}

void frmWebsite::setTabOrder()
{
    const QList<QWidget*> order{cmdClose,    cmdAdd, cmdDelete, MSFlexGrid1,      cmdLaunch, cmdEnterInstructions,
                                lstWebsites, cmdUp,  cmdDown,   cmdSaveListOrder, cmdSetup};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

bool frmWebsite::Form_Load()
{
    QString expectedMasterPassword;
    try {
        const StartupSettings settings = ReadStartupSettings();
        applyStartupSettings(settings);
        expectedMasterPassword = settings.expectedMasterPassword;
    } catch (const AppError& error) {
        ReportError(error);
        return false;
    }
    // The count runs from here, also while the start-up prompt waits for an answer.
    tmrMasterPassword.setInterval(60000);
    tmrMasterPassword.start();
    if (!AskStartupPassword(expectedMasterPassword))
        return false;
    bool loaded = true;
    RunHandler(
        [this, &loaded] {
            loaded = false;
            FillGrid();
            layOutSavedMode();
            loaded = true;
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
    return loaded;
}

void frmWebsite::applyStartupSettings(const StartupSettings& settings)
{
    if (!settings.rowFound) {
        fraLauncher->resize(Twips::toPixels(DesignInnerWidth), Twips::toPixels(DesignInnerHeight));
        return;
    }
    fraLauncher->resize(Twips::toPixels(settings.launcherWidth), Twips::toPixels(settings.launcherHeight));
    gdblfraLauncherHeight = settings.launcherHeight;
    gdblfraLauncherWidth = settings.launcherWidth;
    gdblfrmWebsiteHeight = settings.formHeight;
    gdblfrmWebsiteWidth = settings.formWidth;
}

void frmWebsite::layOutSavedMode()
{
    fraLauncher->move(0, 0);
    fillLauncherList();
    if (!gblnDefaultToLauncher) {
        setHeight(gdblfrmWebsiteHeight);
        setWidth(gdblfrmWebsiteWidth);
        fraLauncher->hide();
    } else {
        showLauncherPanel();
    }
    CenterForm(*this);
    selectSecondLauncherEntry();
    Screen::setMousePointer(Screen::vbDefault);
}

// The second entry is selected, so the second website is current; with a single website, that one.
void frmWebsite::selectSecondLauncherEntry()
{
    if (lstWebsites->count() >= 2)
        lstWebsites->setCurrentRow(1);
    else if (lstWebsites->count() == 1)
        lstWebsites->setCurrentRow(0);
}

void frmWebsite::FillGrid()
{
    m_list->FillGrid();
}

void frmWebsite::UpdateGridRow()
{
    m_list->UpdateGridRow(mWebsiteID);
}

void frmWebsite::AddGridRow()
{
    mWebsiteID = m_list->AddGridRow();
}

void frmWebsite::resetIdleCount()
{
    gdblMinutesLeft = gdblRelockMinutes;
}

void frmWebsite::endProgram()
{
    dialogs().endProgram();
}

double frmWebsite::Width() const
{
    return FormSize::width(*this);
}

double frmWebsite::Height() const
{
    return FormSize::height(*this);
}

void frmWebsite::setWidth(double twips)
{
    FormSize::setWidth(*this, twips);
    Form_Resize();
}

void frmWebsite::setHeight(double twips)
{
    FormSize::setHeight(*this, twips);
    Form_Resize();
}

double frmWebsite::ScaleWidth() const
{
    return Twips::fromPixels(width());
}

double frmWebsite::ScaleHeight() const
{
    const int menuHeight = menuBar()->isVisibleTo(this) ? menuBar()->sizeHint().height() : 0;
    return Twips::fromPixels(height() - menuHeight);
}

// ---- maintenance commands ----

void frmWebsite::cmdAdd_Click()
{
    RunHandler([this] {
        resetIdleCount();
        gblnNewRecord = true;
        // the website editor opens here
    });
}

void frmWebsite::cmdDelete_Click()
{
    RunHandler([this] {
        resetIdleCount();
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        mWebsiteID = CurrentKey(*MSFlexGrid1);
        const UnitOfWorkEnd end;
        OpenConnection();
        // The instructions go first, so a failure never leaves instructions without their website.
        gobjConnection->execute(QStringLiteral("DELETE From WebsiteInstructions WHERE WebsiteID = ") +
                                NumberToText(mWebsiteID));
        gobjConnection->execute(QStringLiteral("DELETE From Website WHERE WebsiteID = ") + NumberToText(mWebsiteID));
        if (MSFlexGrid1->rows() == 2) {
            MSFlexGrid1->setRows(1);
            return;
        }
        MSFlexGrid1->removeItem(MSFlexGrid1->row());
        MSFlexGrid1->setFocus();
        if (MSFlexGrid1->row() <= MSFlexGrid1->rows() - 1)
            selectWholeRow(MSFlexGrid1->row());
    });
}

void frmWebsite::selectWholeRow(int row)
{
    MSFlexGrid1->setRowSel(row);
    MSFlexGrid1->setCol(0);
    MSFlexGrid1->setColSel(MSFlexGrid1->cols() - 1);
}

void frmWebsite::cmdEnterInstructions_Click()
{
    RunHandler([this] {
        resetIdleCount();
        // the instruction list of the current website opens here
    });
}

void frmWebsite::cmdLaunch_Click()
{
    RunHandler([this] { LaunchWebsite(); });
}

void frmWebsite::LaunchWebsite()
{
    if (!HasCurrentRecord(*MSFlexGrid1))
        return; // no website row is selected
    const int row = MSFlexGrid1->row();
    ReplayWebsite(tmrWait, MSFlexGrid1->textMatrix(row, 0), MSFlexGrid1->textMatrix(row, 2), this);
}

void frmWebsite::cmdSetup_Click()
{
    mnuSetup_Click();
}

void frmWebsite::mnuSetup_Click()
{
    RunHandler([this] {
        resetIdleCount();
        // the setup editor opens here
    });
}

void frmWebsite::mnuPrint_Click()
{
    RunHandler([this] {
        resetIdleCount();
        // the grid is printed here
    });
}

void frmWebsite::mnuHelp_Click()
{
    RunHandler([this] {
        resetIdleCount();
        // the help page opens here
    });
}

void frmWebsite::mnuContactUs_Click()
{
    // the contact page opens here
}

// ---- grid events ----

void frmWebsite::MSFlexGrid1_Click()
{
    resetIdleCount();
}

void frmWebsite::MSFlexGrid1_DblClick()
{
    RunHandler([this] {
        resetIdleCount();
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        gblnDefaultToLauncher = false;
        gblnNewRecord = false;
        mWebsiteID = CurrentKey(*MSFlexGrid1);
        // the website editor opens here
    });
}

void frmWebsite::MSFlexGrid1_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == DeleteKey)
        cmdDelete_Click();
}

void frmWebsite::MSFlexGrid1_MouseDown()
{
    m_list->MouseDown();
}

void frmWebsite::MSFlexGrid1_MouseUp()
{
    m_list->MouseUp();
}

void frmWebsite::MSFlexGrid1_SelChange()
{
    m_list->SelChange();
}

// ---- timers ----

void frmWebsite::tmrMasterPassword_Timer()
{
    RelockTick(tmrMasterPassword, [this] { close(); });
}

void frmWebsite::tmrWait_Timer()
{
    ::tmrWait_Timer(tmrWait);
}

// ---- size ----

void frmWebsite::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmWebsite::Form_Resize()
{
    if (isMinimized())
        return;
    if (launcherShown())
        resizeLauncher();
    else
        resizeMaintenance();
}

// Each correction raises the resize event again, which then finds the size in order.
void frmWebsite::enforceMinimumSize(double width, double height)
{
    if (Width() < width)
        setWidth(width);
    if (Height() < height)
        setHeight(height);
}

void frmWebsite::resizeMaintenance()
{
    enforceMinimumSize(MaintenanceMinWidth, MaintenanceMinHeight);
    m_list->FitToWindow(ScaleWidth(), ScaleHeight());
}

void frmWebsite::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
