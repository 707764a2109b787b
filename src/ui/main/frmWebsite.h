#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>

class CommandLabel;
class FlexGrid;
class QFrame;
class QListWidget;
class QPushButton;
class RecordListGrid;
struct StartupSettings;

// The main window. In maintenance mode it shows the website grid with command buttons and a menu bar;
// in launcher mode a panel covers it with just the list of website names and two text commands. It
// owns the re-lock timer and the wait timer, and launches websites.
class frmWebsite : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmWebsite(QWidget* parent = nullptr);
    ~frmWebsite() override;

    // The start-up sequence: settings, password, the list, the layout of the saved mode. Returns false
    // when the program is to end (a wrong password; a data file that cannot be read, already reported).
    bool Form_Load();

    // The key of the website last opened for editing, deleted or appended.
    double mWebsiteID = 0;
    // The window's size in each mode, in twips.
    double gdblfrmWebsiteWidth = 0;
    double gdblfrmWebsiteHeight = 0;
    double gdblfraLauncherWidth = 0;
    double gdblfraLauncherHeight = 0;

    void FillGrid();
    void UpdateGridRow();
    void AddGridRow();
    void LaunchWebsite();
    void SaveListOrder();
    void SaveFormSize();
    void SaveFrameSize();

    // Outer size in twips, and the inner area below the menu bar.
    double Width() const;
    double Height() const;
    void setWidth(double twips);
    void setHeight(double twips);
    double ScaleWidth() const;
    double ScaleHeight() const;
    bool launcherShown() const;

    // Controls, named as the rest of the program knows them.
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdEnterInstructions;
    QPushButton* cmdLaunch;
    QPushButton* cmdSetup;
    QPushButton* cmdClose;
    QPushButton* cmdSaveListOrder;
    QPushButton* cmdUp;
    QPushButton* cmdDown;
    FlexGrid* MSFlexGrid1;
    QFrame* fraLauncher;
    QListWidget* lstWebsites;
    CommandLabel* lblLaunch;
    CommandLabel* lblMaintenance;
    QTimer tmrMasterPassword;
    QTimer tmrWait;
    QAction* mnuSetup;
    QAction* mnuPrint;
    QAction* mnuExit;
    QAction* mnuHelp;
    QAction* mnuContactUs;

public slots:
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdEnterInstructions_Click();
    void cmdLaunch_Click();
    void cmdSetup_Click();
    void cmdClose_Click();
    void cmdSaveListOrder_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void mnuSetup_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuHelp_Click();
    void mnuContactUs_Click();
    void MSFlexGrid1_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_KeyDown(int& keyCode, int shift);
    void MSFlexGrid1_MouseDown();
    void MSFlexGrid1_MouseUp();
    void MSFlexGrid1_SelChange();
    void lstWebsites_Click();
    void lstWebsites_DblClick();
    void lblLaunch_Click();
    void lblMaintenance_Click();
    void lblLaunch_MouseMove();
    void lblMaintenance_MouseMove();
    void labelsAtRest_MouseMove();
    void tmrMasterPassword_Timer();
    void tmrWait_Timer();
    void Form_Resize();
    // The close box; sets cancel to keep the window open.
    void Form_QueryUnload(bool& cancel);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createButtons(QWidget* area);
    void createMenus();
    void createLauncherPanel(QWidget* area);
    void setTabOrder();
    void applyStartupSettings(const StartupSettings& settings);
    void layOutSavedMode();
    void selectSecondLauncherEntry();
    void saveSize(const QString& heightColumn, double height, const QString& widthColumn, double width);
    void enforceMinimumSize(double width, double height);
    void resizeMaintenance();
    void resizeLauncher();
    void fillLauncherList();
    void showLauncherPanel();
    void showLauncherMode();
    void swapRows(int upper, int lower);
    void selectWholeRow(int row);
    void resetIdleCount();
    void endProgram();

    std::unique_ptr<RecordListGrid> m_list;
    bool m_resizing = false;
};
