// The main window's saved sizes, in each mode, and the resize rules that keep every size within its minimums.

#include "ui/main/frmWebsite.h"

#include "domain/data/DataFileSchema.h"
#include "domain/data/SetupStatements.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/StartupSettings.h"
#include "system/app/UnitOfWork.h"
#include "ui/main/LauncherPanel.h"
#include "ui/main/RecordListGrid.h"

#include <QMenuBar>
#include <algorithm>

namespace {

constexpr double MaintenanceMinWidth = 3500;
constexpr double MaintenanceMinHeight = 6000;
constexpr double LauncherMinWidth = 1500;
constexpr double LauncherMinHeight = 3000;

// A size the program sets, cut to the room there is: a saved size far beyond the screen (a screen smaller than the
// last one, a data file edited by hand) would put the centred window's title bar off the screen. The minimum of the
// mode shown still comes first, and no screen known means no room to cut to.
double withinRoom(double twips, double room, double minimum)
{
    return room > 0 ? std::min(twips, std::max(room, minimum)) : twips;
}

} // namespace

// The launcher panel takes its saved size at once; the window takes its own when it is laid out.
void frmWebsite::applySavedSizes(const StartupSettings& settings)
{
    if (!settings.rowFound) {
        fraLauncher->resize(Twips::toPixels(MainWindowDesignWidth), Twips::toPixels(MainWindowDesignInnerHeight));
        return;
    }
    fraLauncher->resize(Twips::toPixels(settings.launcherWidth), Twips::toPixels(settings.launcherHeight));
    gdblfraLauncherHeight = settings.launcherHeight;
    gdblfraLauncherWidth = settings.launcherWidth;
    gdblfrmWebsiteHeight = settings.formHeight;
    gdblfrmWebsiteWidth = settings.formWidth;
}

void frmWebsite::SaveFormSize()
{
    const double height = Height();
    const double width = Width();
    gdblfrmWebsiteHeight = height;
    gdblfrmWebsiteWidth = width;
    UnitOfWork work;
    work.execute(FormSizeStatement(height, width));
}

// The in-memory launcher size is left as it is; switching to maintenance mode copies it afterwards.
void frmWebsite::SaveFrameSize()
{
    UnitOfWork work;
    work.execute(
        LauncherSizeStatement(Twips::fromPixels(fraLauncher->height()), Twips::fromPixels(fraLauncher->width())));
}

double frmWebsite::Width() const
{
    return FormSize::width(*this);
}

double frmWebsite::Height() const
{
    return FormSize::height(*this);
}

// The room is the free part of the screen less the window's frame, which is known once the window has been shown.
void frmWebsite::setWidth(double twips)
{
    const double room = Screen::availableWidth() - Twips::fromPixels(frameGeometry().width() - width());
    FormSize::setWidth(*this, withinRoom(twips, room, launcherShown() ? LauncherMinWidth : MaintenanceMinWidth));
    Form_Resize();
}

void frmWebsite::setHeight(double twips)
{
    const double room = Screen::availableHeight() - Twips::fromPixels(frameGeometry().height() - height());
    FormSize::setHeight(*this, withinRoom(twips, room, launcherShown() ? LauncherMinHeight : MaintenanceMinHeight));
    Form_Resize();
}

void frmWebsite::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// The rule of the mode shown: the panel covers the window in launcher mode; the grid follows it otherwise.
void frmWebsite::Form_Resize()
{
    if (isMinimized())
        return;
    if (launcherShown()) {
        enforceMinimumSize(LauncherMinWidth, LauncherMinHeight);
        fraLauncher->fitToWindow(Width(), Height());
        return;
    }
    enforceMinimumSize(MaintenanceMinWidth, MaintenanceMinHeight);
    const int menuHeight = menuBar()->isVisibleTo(this) ? menuBar()->sizeHint().height() : 0;
    m_list->FitToWindow(Width(), Twips::fromPixels(height() - menuHeight));
}

// Each correction raises the resize event again, which then finds the size in order.
void frmWebsite::enforceMinimumSize(double width, double height)
{
    if (Width() < width)
        setWidth(width);
    if (Height() < height)
        setHeight(height);
}
