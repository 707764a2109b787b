#pragma once

#include <QFrame>

class CommandLabel;
class QListWidget;

// The launcher panel fraLauncher: in launcher mode it covers the main window with the list of website names
// and two text commands, Launch and Maintenance. Entry i of the list stands for grid row i + 1. The labels
// turn red under the pointer and green elsewhere.
class LauncherPanel : public QFrame
{
    Q_OBJECT

public:
    explicit LauncherPanel(QWidget* parent);

    // Replaces the list with the names, in grid order.
    void setNames(const QStringList& names);
    // Selects the second entry, which makes the second website current; with a single website, that one.
    void selectSecondEntry();
    // Gives the list the keyboard focus, so that Enter launches the selected website at once.
    void focusList();
    // Covers a window of the given outer size, in twips; the list follows it.
    void fitToWindow(double widthTwips, double heightTwips);

signals:
    // The grid row whose name was selected.
    void websiteSelected(int gridRow);
    // The Launch label, a double-click on a name or Enter in the list.
    void launchClicked();
    void maintenanceClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void lstWebsites_Click();
    void lblLaunch_MouseMove();
    void lblMaintenance_MouseMove();
    void labelsAtRest_MouseMove();

private:
    QListWidget* lstWebsites;
    CommandLabel* lblLaunch;
    CommandLabel* lblMaintenance;
};
