// The main window's launcher mode: a panel over the whole window with the list of website names and
// two text commands, and the switches between it and the grid.

#include "ui/main/frmWebsite.h"

#include "app/HandlerGuard.h"
#include "app/basModule1.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Twips.h"
#include "ui/main/CommandLabel.h"

#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>

namespace {

constexpr unsigned int Green = 0x0000C000;
constexpr unsigned int Red = 0x000000FF;
constexpr unsigned int PaleYellow = 0x0080FFFF;
constexpr double LauncherMinWidth = 1500;
constexpr double LauncherMinHeight = 3000;

QFont launcherFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

} // namespace

void frmWebsite::createLauncherPanel(QWidget* area)
{
    fraLauncher = new QFrame(area);
    fraLauncher->setFrameShape(QFrame::NoFrame);
    fraLauncher->setAutoFillBackground(true);
    QPalette panel = fraLauncher->palette();
    panel.setColor(QPalette::Window, panel.color(QPalette::ButtonText));
    fraLauncher->setPalette(panel);
    fraLauncher->setMouseTracking(true);
    fraLauncher->installEventFilter(this);

    lstWebsites = new QListWidget(fraLauncher);
    FormSize::placeControl(*lstWebsites, 60, 540, 3735, 5340);
    lstWebsites->setFont(launcherFont());
    QPalette list = lstWebsites->palette();
    list.setColor(QPalette::Base, Qt::black);
    list.setColor(QPalette::Text, colorFromBgr(PaleYellow));
    lstWebsites->setPalette(list);
    lstWebsites->viewport()->setMouseTracking(true);
    lstWebsites->viewport()->installEventFilter(this);
    lstWebsites->installEventFilter(this);
    connect(lstWebsites, &QListWidget::currentRowChanged, this, &frmWebsite::lstWebsites_Click);
    connect(lstWebsites, &QListWidget::itemDoubleClicked, this, &frmWebsite::lstWebsites_DblClick);

    lblLaunch = new CommandLabel(QStringLiteral("&Launch"), fraLauncher);
    FormSize::placeControl(*lblLaunch, 120, 180, 795, 255);
    lblMaintenance = new CommandLabel(QStringLiteral("Maintenance"), fraLauncher);
    FormSize::placeControl(*lblMaintenance, 2280, 180, 1395, 255);
    for (CommandLabel* label : {lblLaunch, lblMaintenance}) {
        label->setFont(launcherFont());
        label->setForeColor(Green);
    }
    connect(lblLaunch, &CommandLabel::clicked, this, &frmWebsite::lblLaunch_Click);
    connect(lblMaintenance, &CommandLabel::clicked, this, &frmWebsite::lblMaintenance_Click);
    connect(lblLaunch, &CommandLabel::mouseMoved, this, &frmWebsite::lblLaunch_MouseMove);
    connect(lblMaintenance, &CommandLabel::mouseMoved, this, &frmWebsite::lblMaintenance_MouseMove);
}

bool frmWebsite::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == fraLauncher || watched == lstWebsites->viewport()))
        labelsAtRest_MouseMove();
    if (watched == lstWebsites && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lblLaunch_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmWebsite::launcherShown() const
{
    return !fraLauncher->isHidden();
}

// Entry i of the list stands for grid row i + 1.
void frmWebsite::fillLauncherList()
{
    lstWebsites->clear();
    for (int row = 1; row < MSFlexGrid1->rows(); ++row)
        lstWebsites->addItem(MSFlexGrid1->textMatrix(row, 1));
}

void frmWebsite::lstWebsites_Click()
{
    if (lstWebsites->currentRow() >= 0)
        MSFlexGrid1->setRow(lstWebsites->currentRow() + 1);
}

void frmWebsite::lstWebsites_DblClick()
{
    lblLaunch_Click();
}

void frmWebsite::lblLaunch_Click()
{
    RunHandler([this] { LaunchWebsite(); });
}

void frmWebsite::lblMaintenance_Click()
{
    RunHandler([this] {
        SaveFrameSize();
        fraLauncher->hide();
        gdblfraLauncherWidth = Twips::fromPixels(fraLauncher->width());
        gdblfraLauncherHeight = Twips::fromPixels(fraLauncher->height());
        setWidth(gdblfrmWebsiteWidth);
        setHeight(gdblfrmWebsiteHeight);
        CenterForm(*this);
    });
}

void frmWebsite::lblLaunch_MouseMove()
{
    lblLaunch->setForeColor(Red);
    lblMaintenance->setForeColor(Green);
}

void frmWebsite::lblMaintenance_MouseMove()
{
    lblMaintenance->setForeColor(Red);
    lblLaunch->setForeColor(Green);
}

void frmWebsite::labelsAtRest_MouseMove()
{
    lblLaunch->setForeColor(Green);
    lblMaintenance->setForeColor(Green);
}

void frmWebsite::cmdClose_Click()
{
    RunHandler([this] {
        SaveFormSize();
        if (!launcherShown() && gblnDefaultToLauncher) {
            // The panel is still hidden while the window takes its size, so the grid's minimums apply.
            fraLauncher->resize(Twips::toPixels(gdblfraLauncherWidth), Twips::toPixels(gdblfraLauncherHeight));
            setWidth(Twips::fromPixels(fraLauncher->width()));
            setHeight(Twips::fromPixels(fraLauncher->height()));
            CenterForm(*this);
            fraLauncher->show();
            fillLauncherList();
            return;
        }
        endProgram();
    });
}

void frmWebsite::mnuExit_Click()
{
    cmdClose_Click();
}

// Shows the panel and gives the window the panel's size. Both sides are read first: setting the width
// already fits the panel to the window, which would lose the panel's own height.
void frmWebsite::showLauncherPanel()
{
    const double width = Twips::fromPixels(fraLauncher->width());
    const double height = Twips::fromPixels(fraLauncher->height());
    fraLauncher->show();
    setWidth(width);
    setHeight(height);
}

void frmWebsite::showLauncherMode()
{
    fraLauncher->resize(Twips::toPixels(gdblfraLauncherWidth), Twips::toPixels(gdblfraLauncherHeight));
    showLauncherPanel();
    CenterForm(*this);
    fillLauncherList();
}

void frmWebsite::Form_QueryUnload(bool& cancel)
{
    RunHandler([this, &cancel] {
        if (!launcherShown() && gblnDefaultToLauncher) {
            cancel = true; // the window stays open in launcher mode
            SaveFormSize();
            showLauncherMode();
        } else if (launcherShown() && gblnDefaultToLauncher) {
            SaveFrameSize();
        } else if (!gblnDefaultToLauncher) {
            SaveFormSize();
        }
    });
}

void frmWebsite::resizeLauncher()
{
    enforceMinimumSize(LauncherMinWidth, LauncherMinHeight);
    fraLauncher->setGeometry(0, 0, Twips::toPixels(Width()), Twips::toPixels(Height()));
    lstWebsites->resize(Twips::toPixels(Width() - 180), Twips::toPixels(Height() - 1000));
}
