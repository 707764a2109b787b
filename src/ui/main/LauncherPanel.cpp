#include "ui/main/LauncherPanel.h"

#include "platform/screen/FormSize.h"
#include "platform/screen/Twips.h"
#include "ui/main/CommandLabel.h"

#include <QKeyEvent>
#include <QListWidget>

namespace {

constexpr unsigned int Green = 0x0000C000;
constexpr unsigned int Red = 0x000000FF;
constexpr unsigned int PaleYellow = 0x0080FFFF;

QFont launcherFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

} // namespace

LauncherPanel::LauncherPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fraLauncher"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, panel.color(QPalette::ButtonText));
    setPalette(panel);
    setMouseTracking(true);
    installEventFilter(this);

    lstWebsites = new QListWidget(this);
    lstWebsites->setObjectName(QStringLiteral("lstWebsites"));
    lstWebsites->setAccessibleName(QStringLiteral("Websites"));
    FormSize::placeControlTwips(*lstWebsites, 60, 540, 3735, 5340);
    lstWebsites->setFont(launcherFont());
    QPalette list = lstWebsites->palette();
    list.setColor(QPalette::Base, Qt::black);
    list.setColor(QPalette::Text, colorFromBgr(PaleYellow));
    lstWebsites->setPalette(list);
    lstWebsites->viewport()->setMouseTracking(true);
    lstWebsites->viewport()->installEventFilter(this);
    lstWebsites->installEventFilter(this);
    connect(lstWebsites, &QListWidget::currentRowChanged, this, &LauncherPanel::lstWebsites_Click);
    connect(lstWebsites, &QListWidget::itemDoubleClicked, this, &LauncherPanel::launchClicked);

    lblLaunch = new CommandLabel(QStringLiteral("&Launch"), this);
    lblLaunch->setObjectName(QStringLiteral("lblLaunch"));
    FormSize::placeControlTwips(*lblLaunch, 120, 180, 795, 255);
    lblMaintenance = new CommandLabel(QStringLiteral("Maintenance"), this);
    lblMaintenance->setObjectName(QStringLiteral("lblMaintenance"));
    FormSize::placeControlTwips(*lblMaintenance, 2280, 180, 1395, 255);
    for (CommandLabel* label : {lblLaunch, lblMaintenance}) {
        label->setFont(launcherFont());
        label->setForeColor(Green);
    }
    connect(lblLaunch, &CommandLabel::clicked, this, &LauncherPanel::launchClicked);
    connect(lblMaintenance, &CommandLabel::clicked, this, &LauncherPanel::maintenanceClicked);
    connect(lblLaunch, &CommandLabel::mouseMoved, this, &LauncherPanel::lblLaunch_MouseMove);
    connect(lblMaintenance, &CommandLabel::mouseMoved, this, &LauncherPanel::lblMaintenance_MouseMove);
}

void LauncherPanel::setNames(const QStringList& names)
{
    lstWebsites->clear();
    lstWebsites->addItems(names);
}

void LauncherPanel::selectSecondEntry()
{
    if (lstWebsites->count() >= 2)
        lstWebsites->setCurrentRow(1);
    else if (lstWebsites->count() == 1)
        lstWebsites->setCurrentRow(0);
}

void LauncherPanel::fitToWindow(double widthTwips, double heightTwips)
{
    setGeometry(0, 0, Twips::toPixels(widthTwips), Twips::toPixels(heightTwips));
    lstWebsites->resize(Twips::toPixels(widthTwips - 180), Twips::toPixels(heightTwips - 1000));
}

bool LauncherPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == this || watched == lstWebsites->viewport()))
        labelsAtRest_MouseMove();
    if (watched == lstWebsites && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit launchClicked();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void LauncherPanel::focusList()
{
    lstWebsites->setFocus();
}

void LauncherPanel::lstWebsites_Click()
{
    if (lstWebsites->currentRow() >= 0)
        emit websiteSelected(lstWebsites->currentRow() + 1);
}

void LauncherPanel::lblLaunch_MouseMove()
{
    lblLaunch->setForeColor(Red);
    lblMaintenance->setForeColor(Green);
}

void LauncherPanel::lblMaintenance_MouseMove()
{
    lblMaintenance->setForeColor(Red);
    lblLaunch->setForeColor(Green);
}

void LauncherPanel::labelsAtRest_MouseMove()
{
    lblLaunch->setForeColor(Green);
    lblMaintenance->setForeColor(Green);
}
