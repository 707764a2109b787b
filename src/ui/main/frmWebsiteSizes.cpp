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

constexpr double MaintenanceMinWidthTwips = 3500;
constexpr double MaintenanceMinHeightTwips = 6000;
constexpr double LauncherMinWidthTwips = 1500;
constexpr double LauncherMinHeightTwips = 3000;

// A size the program sets, cut to the room there is: a saved size far beyond the screen (a screen smaller than the
// last one, a data file edited by hand) would put the centred window's title bar off the screen. The minimum of the
// mode shown still comes first, and no screen known means no room to cut to.
double withinRoom(double twips, double roomTwips, double minimumTwips)
{
    return roomTwips > 0 ? std::min(twips, std::max(roomTwips, minimumTwips)) : twips;
}

} // namespace

// The launcher panel takes its saved size at once; the window takes its own when it is laid out.
void frmWebsite::applySavedSizes(const StartupSettings& settings)
{
    if (!settings.rowFound) {
        fraLauncher->resize(Twips::toPixels(MainWindowDesignWidthTwips),
                            Twips::toPixels(MainWindowDesignInnerHeightTwips));
        return;
    }
    fraLauncher->resize(Twips::toPixels(settings.launcherWidthTwips), Twips::toPixels(settings.launcherHeightTwips));
    gdblfraLauncherHeight = settings.launcherHeightTwips;
    gdblfraLauncherWidth = settings.launcherWidthTwips;
    gdblfrmWebsiteHeight = settings.formHeightTwips;
    gdblfrmWebsiteWidth = settings.formWidthTwips;
}

void frmWebsite::SaveFormSize()
{
    const double formHeightTwips = heightTwips();
    const double formWidthTwips = widthTwips();
    gdblfrmWebsiteHeight = formHeightTwips;
    gdblfrmWebsiteWidth = formWidthTwips;
    UnitOfWork work;
    work.execute(FormSizeStatement(formHeightTwips, formWidthTwips));
}

// The in-memory launcher size is left as it is; switching to maintenance mode copies it afterwards.
void frmWebsite::SaveFrameSize()
{
    UnitOfWork work;
    work.execute(
        LauncherSizeStatement(Twips::fromPixels(fraLauncher->height()), Twips::fromPixels(fraLauncher->width())));
}

double frmWebsite::widthTwips() const
{
    return FormSize::widthTwips(*this);
}

double frmWebsite::heightTwips() const
{
    return FormSize::heightTwips(*this);
}

// The room is the free part of the screen less the window's frame, which is known once the window has been shown.
void frmWebsite::setWidthTwips(double twips)
{
    const double roomTwips = Screen::availableWidthTwips() - Twips::fromPixels(frameGeometry().width() - width());
    FormSize::setWidthTwips(
        *this, withinRoom(twips, roomTwips, launcherShown() ? LauncherMinWidthTwips : MaintenanceMinWidthTwips));
    Form_Resize();
}

void frmWebsite::setHeightTwips(double twips)
{
    const double roomTwips = Screen::availableHeightTwips() - Twips::fromPixels(frameGeometry().height() - height());
    FormSize::setHeightTwips(
        *this, withinRoom(twips, roomTwips, launcherShown() ? LauncherMinHeightTwips : MaintenanceMinHeightTwips));
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
        enforceMinimumSizeTwips(LauncherMinWidthTwips, LauncherMinHeightTwips);
        fraLauncher->fitToWindow(widthTwips(), heightTwips());
        return;
    }
    enforceMinimumSizeTwips(MaintenanceMinWidthTwips, MaintenanceMinHeightTwips);
    const int menuHeight = menuBar()->isVisibleTo(this) ? menuBar()->sizeHint().height() : 0;
    m_list->FitToWindow(widthTwips(), Twips::fromPixels(height() - menuHeight));
}

// Each correction raises the resize event again, which then finds the size in order.
void frmWebsite::enforceMinimumSizeTwips(double minWidth, double minHeight)
{
    if (widthTwips() < minWidth)
        setWidthTwips(minWidth);
    if (heightTwips() < minHeight)
        setHeightTwips(minHeight);
}
