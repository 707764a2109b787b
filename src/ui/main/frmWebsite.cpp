#include "ui/main/frmWebsite.h"

#include "domain/data/DataFileSchema.h"
#include "domain/data/WebsiteStatements.h"
#include "domain/error/AppError.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/DataFileLock.h"
#include "system/app/HandlerGuard.h"
#include "system/app/MasterPassword.h"
#include "system/app/StartupSettings.h"
#include "system/app/SupportPages.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/OpenWebPage.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"
#include "system/print/Printout.h"
#include "system/print/basPrintGrid.h"
#include "ui/ModalWindow.h"
#include "ui/main/LauncherPanel.h"
#include "ui/main/RecordListGrid.h"
#include "ui/maintenance/frmEditSetup.h"
#include "ui/maintenance/frmEditWebsite.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

namespace {

RecordListSettings websiteListSettings()
{
    RecordListSettings settings;
    settings.fillStatement = WebsiteListQuery;
    settings.refreshStatement = WebsiteRowQuery;
    settings.newKeyStatement = NewestWebsiteKeyQuery();
    settings.decipheredColumns = {{1, 0, WebsiteNamePlace}, {2, 0, WebsiteLinkPlace}};
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
    createButtons();
    MSFlexGrid1 = new FlexGrid(area);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleListName(QStringLiteral("Websites"));
    FormSize::placeControlTwips(*MSFlexGrid1, 180, 660, 10380, 7155);
    m_list = std::make_unique<RecordListGrid>(*MSFlexGrid1, websiteListSettings());
    fraLauncher = new LauncherPanel(area);
    createMenus();
    setTabOrder();
    resize(Twips::toPixels(MainWindowDesignWidthTwips),
           Twips::toPixels(MainWindowDesignInnerHeightTwips) + menuBar()->sizeHint().height());

    connect(MSFlexGrid1, &FlexGrid::click, this, &frmWebsite::MSFlexGrid1_Click);
    connect(MSFlexGrid1, &FlexGrid::dblClick, this, &frmWebsite::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyDown, this, &frmWebsite::MSFlexGrid1_KeyDown);
    connect(MSFlexGrid1, &FlexGrid::mouseDown, this, &frmWebsite::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FlexGrid::mouseUp, this, &frmWebsite::MSFlexGrid1_MouseUp);
    connect(MSFlexGrid1, &FlexGrid::selChange, this, &frmWebsite::MSFlexGrid1_SelChange);
    connect(fraLauncher, &LauncherPanel::websiteSelected, MSFlexGrid1, &FlexGrid::setRow);
    connect(fraLauncher, &LauncherPanel::launchClicked, this, &frmWebsite::lblLaunch_Click);
    connect(fraLauncher, &LauncherPanel::maintenanceClicked, this, &frmWebsite::lblMaintenance_Click);
    tmrMasterPassword.setObjectName(QStringLiteral("tmrMasterPassword"));
    tmrWait.setObjectName(QStringLiteral("tmrWait"));
    connect(&tmrMasterPassword, &QTimer::timeout, this, &frmWebsite::tmrMasterPassword_Timer);
    connect(&tmrWait, &QTimer::timeout, this, &frmWebsite::tmrWait_Timer);
}

frmWebsite::~frmWebsite() = default;

QPushButton* frmWebsite::addButton(const char* name, const QString& caption, double leftTwips, double topTwips,
                                   double widthTwips, double heightTwips, void (frmWebsite::*handler)())
{
    auto* button = new QPushButton(caption, centralWidget());
    button->setObjectName(QString::fromLatin1(name));
    FormSize::placeControlTwips(*button, leftTwips, topTwips, widthTwips, heightTwips);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void frmWebsite::createButtons()
{
    cmdAdd = addButton("cmdAdd", QStringLiteral("&Add"), 195, 180, 885, 375, &frmWebsite::cmdAdd_Click);
    cmdDelete = addButton("cmdDelete", QStringLiteral("&Delete"), 1200, 180, 885, 375, &frmWebsite::cmdDelete_Click);
    cmdEnterInstructions = addButton("cmdEnterInstructions", QStringLiteral("&Enter Instructions"), 2160, 180, 1545,
                                     375, &frmWebsite::cmdEnterInstructions_Click);
    cmdLaunch = addButton("cmdLaunch", QStringLiteral("&Launch"), 3780, 180, 1000, 375, &frmWebsite::cmdLaunch_Click);
    cmdSetup = addButton("cmdSetup", QStringLiteral("&Setup"), 5640, 180, 1000, 375, &frmWebsite::cmdSetup_Click);
    cmdClose = addButton("cmdClose", QStringLiteral("&Close"), 6780, 180, 765, 375, &frmWebsite::cmdClose_Click);
    cmdSaveListOrder = addButton("cmdSaveListOrder", QStringLiteral("Save List Order"), 8280, 180, 1275, 375,
                                 &frmWebsite::cmdSaveListOrder_Click);
    cmdUp = addButton("cmdUp", QString(), 9660, 60, 375, 615, &frmWebsite::cmdUp_Click);
    cmdDown = addButton("cmdDown", QString(), 10080, 0, 375, 675, &frmWebsite::cmdDown_Click);
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
    mnuFile->addAction(QStringLiteral("&Setup"), this, &frmWebsite::mnuSetup_Click)->setObjectName("mnuSetup");
    mnuFile->addAction(QStringLiteral("&Print"), this, &frmWebsite::mnuPrint_Click)->setObjectName("mnuPrint");
    mnuFile->addAction(QStringLiteral("E&xit"), this, &frmWebsite::mnuExit_Click)->setObjectName("mnuExit");
    QMenu* mnuSupport = menuBar()->addMenu(QStringLiteral("Support"));
    mnuSupport->addAction(QStringLiteral("&Help"), this, &frmWebsite::mnuHelp_Click)->setObjectName("mnuHelp");
    mnuSupport->addAction(QStringLiteral("&Contact Us"), this, &frmWebsite::mnuContactUs_Click)
        ->setObjectName("mnuContactUs");
}

void frmWebsite::setTabOrder()
{
    const QList<QWidget*> order{cmdClose,    cmdAdd, cmdDelete, MSFlexGrid1,      cmdLaunch, cmdEnterInstructions,
                                fraLauncher, cmdUp,  cmdDown,   cmdSaveListOrder, cmdSetup};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- start-up ----

bool frmWebsite::Form_Load()
{
    StoredMasterPassword masterPassword;
    std::optional<TextProtectionRow> protection;
    try {
        const StartupSettings settings = ReadStartupSettings();
        // Before any website is read: the re-enciphering pass waits until this window is gone.
        m_dataFileLock = std::make_unique<DataFileLock>(DataFileLock::share());
        applySavedSizes(settings);
        masterPassword = settings.masterPassword;
        protection = settings.protection;
    } catch (const AppError& error) {
        ReportError(error);
        return false;
    }
    // The count runs from here, also while the start-up prompt waits for an answer.
    tmrMasterPassword.setInterval(60000);
    tmrMasterPassword.start();
    if (!AskStartupPassword(masterPassword, protection))
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

void frmWebsite::layOutSavedMode()
{
    fraLauncher->move(0, 0);
    fillLauncherList();
    if (!gblnDefaultToLauncher) {
        setHeightTwips(gdblfrmWebsiteHeight);
        setWidthTwips(gdblfrmWebsiteWidth);
        fraLauncher->hide();
    } else {
        showLauncherPanel();
    }
    CenterForm(*this);
    fraLauncher->selectSecondEntry();
    Screen::setMousePointer(Screen::vbDefault);
}

// ---- the list-window interface ----

RecordListGrid& frmWebsite::recordList() const
{
    return *m_list;
}

// ---- maintenance commands ----

void frmWebsite::resetIdleCount()
{
    gdblMinutesLeft = gdblRelockMinutes;
}

void frmWebsite::cmdAdd_Click()
{
    RunHandler([this] {
        resetIdleCount();
        gblnNewRecord = true;
        ModalWindow<frmEditWebsite>::Show(*this, this);
    });
}

void frmWebsite::cmdDelete_Click()
{
    RunHandler([this] {
        resetIdleCount();
        if (!HasCurrentRecord(*MSFlexGrid1))
            return;
        mWebsiteID = CurrentKey(*MSFlexGrid1);
        UnitOfWork work;
        work.execute(DeleteWebsiteInstructionsStatement(mWebsiteID));
        work.execute(DeleteWebsiteStatement(mWebsiteID));
        m_list->RemoveCurrentRow();
    });
}

void frmWebsite::cmdEnterInstructions_Click()
{
    RunHandler([this] {
        resetIdleCount();
        // Without a website row there is no website whose steps could be listed.
        if (!HasCurrentRecord(*MSFlexGrid1)) {
            dialogs().msgBox(QStringLiteral("Select a website in the list first."), Dialogs::vbExclamation);
            return;
        }
        ModalWindow<frmWebsiteInstructions>::Show(*this, this);
    });
}

void frmWebsite::cmdLaunch_Click()
{
    RunHandler([this] { LaunchWebsite(); });
}

void frmWebsite::lblLaunch_Click()
{
    RunHandler([this] { LaunchWebsite(); });
}

// A link that could not be deciphered is never opened: its cell says what is wrong, not where to go.
void frmWebsite::LaunchWebsite()
{
    if (!HasCurrentRecord(*MSFlexGrid1))
        return; // no website row is selected
    const int row = MSFlexGrid1->row();
    if (const QString reason = m_list->unreadableReason(row, 2); !reason.isEmpty()) {
        resetIdleCount();
        const QString website = m_list->unreadableReason(row, 1).isEmpty()
                                    ? QStringLiteral("the website \"%1\"").arg(MSFlexGrid1->textMatrix(row, 1))
                                    : QStringLiteral("this website");
        const QString why = reason == FailedCheckReason
                                ? reason
                                : reason + QStringLiteral(", which Quillock never stores; another program wrote it");
        dialogs().msgBox(
            QStringLiteral("The link of %1 cannot be read: %2. Nothing was opened or typed.").arg(website, why),
            Dialogs::vbExclamation);
        return;
    }
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
        ModalWindow<frmEditSetup>::Show(this);
    });
}

void frmWebsite::mnuPrint_Click()
{
    RunHandler(
        [this] {
            resetIdleCount();
            Printout(windowTitle(),
                     [this](Printing::Printer& printer) { PrintListGrid(printer, *MSFlexGrid1, windowTitle()); });
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
}

void frmWebsite::mnuHelp_Click()
{
    RunHandler([this] {
        resetIdleCount();
        OpenWebPage(SupportPages::helpPageLink(), this);
    });
}

void frmWebsite::mnuContactUs_Click()
{
    RunHandler([this] { OpenWebPage(SupportPages::contactPage(), this); });
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
        ModalWindow<frmEditWebsite>::Show(*this, this);
    });
}

void frmWebsite::MSFlexGrid1_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == FlexGrid::DeleteKeyCode)
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
