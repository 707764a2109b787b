// The main window's switches between maintenance and launcher mode, and its closing: the Close command, Exit
// and the close box return to launcher mode when it is the default, and otherwise end the program.
//
// A size that cannot be saved at closing (a read-only data file, a full disk) is reported once, and the closing
// goes on: a window size is not worth keeping the user in the program.

#include "ui/main/frmWebsite.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/Twips.h"
#include "system/app/HandlerGuard.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchControl.h"
#include "ui/main/LauncherPanel.h"

#include <QCloseEvent>

bool frmWebsite::launcherShown() const
{
    return !fraLauncher->isHidden();
}

void frmWebsite::fillLauncherList()
{
    QStringList names;
    for (int row = 1; row < MSFlexGrid1->rows(); ++row)
        names.append(MSFlexGrid1->textMatrix(row, 1));
    fraLauncher->setNames(names);
}

// Shows the panel and gives the window the panel's size. Both sides are read first: setting the width
// already fits the panel to the window, which would lose the panel's own height.
void frmWebsite::showLauncherPanel()
{
    const double panelWidthTwips = Twips::fromPixels(fraLauncher->width());
    const double panelHeightTwips = Twips::fromPixels(fraLauncher->height());
    fraLauncher->show();
    // The maintenance controls lie under the panel: keys must not reach them.
    fraLauncher->focusList();
    setWidthTwips(panelWidthTwips);
    setHeightTwips(panelHeightTwips);
}

void frmWebsite::showLauncherMode()
{
    fraLauncher->resize(Twips::toPixels(gdblfraLauncherWidth), Twips::toPixels(gdblfraLauncherHeight));
    showLauncherPanel();
    CenterForm(*this);
    fillLauncherList();
}

void frmWebsite::lblMaintenance_Click()
{
    RunHandler([this] {
        SaveFrameSize();
        fraLauncher->hide();
        gdblfraLauncherWidth = Twips::fromPixels(fraLauncher->width());
        gdblfraLauncherHeight = Twips::fromPixels(fraLauncher->height());
        setWidthTwips(gdblfrmWebsiteWidth);
        setHeightTwips(gdblfrmWebsiteHeight);
        CenterForm(*this);
    });
}

void frmWebsite::cmdClose_Click()
{
    stopLaunch(); // a launch never types on behind a closing window
    RunHandler([this] { SaveFormSize(); });
    RunHandler([this] {
        if (!launcherShown() && gblnDefaultToLauncher) {
            // The panel is still hidden while the window takes its size, so the grid's minimums apply.
            fraLauncher->resize(Twips::toPixels(gdblfraLauncherWidth), Twips::toPixels(gdblfraLauncherHeight));
            setWidthTwips(Twips::fromPixels(fraLauncher->width()));
            setHeightTwips(Twips::fromPixels(fraLauncher->height()));
            CenterForm(*this);
            fraLauncher->show();
            // Those minimums may have left the window larger than the panel: the panel covers it all.
            Form_Resize();
            fillLauncherList();
            return;
        }
        dialogs().endProgram();
    });
}

void frmWebsite::mnuExit_Click()
{
    cmdClose_Click();
}

void frmWebsite::Form_QueryUnload(bool& cancel)
{
    if (!launcherShown() && gblnDefaultToLauncher) {
        cancel = true; // the window stays open in launcher mode
        RunHandler([this] { SaveFormSize(); });
        RunHandler([this] { showLauncherMode(); });
    } else if (launcherShown() && gblnDefaultToLauncher) {
        RunHandler([this] { SaveFrameSize(); });
    } else {
        RunHandler([this] { SaveFormSize(); });
    }
}

void frmWebsite::closeEvent(QCloseEvent* event)
{
    stopLaunch();
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
