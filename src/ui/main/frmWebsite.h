#pragma once

#include "ui/main/RecordListWindow.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>

class DataFileLock;
class FlexGrid;
class LauncherPanel;
class QPushButton;
class RecordListGrid;
struct StartupSettings;

// The main window. In maintenance mode it shows the website grid with command buttons and a menu bar; in
// launcher mode a panel covers it with just the list of website names and two text commands. It owns the
// re-lock timer and the wait timer, and launches websites. Its controls carry their names as object names.
//
// The work is spread over files by job: this one's .cpp builds the window, starts it up and runs the
// maintenance commands; frmWebsiteListOrder.cpp moves rows and saves their order; frmWebsiteSizes.cpp keeps
// the saved sizes and the resize rules; frmWebsiteClosing.cpp switches between the modes and closes.
class frmWebsite : public QMainWindow, public RecordListWindow
{
    Q_OBJECT

public:
    explicit frmWebsite(QWidget* parent = nullptr);
    ~frmWebsite() override;

    // The start-up sequence: settings, the data file's lock (shared with every main window on the file, kept while
    // the window lives), password, the list, the layout of the saved mode. Returns false when the program is to end
    // (a wrong password; a data file that cannot be read or is being re-enciphered, already reported).
    bool Form_Load();

    // The key of the website last opened for editing, deleted or appended.
    double mWebsiteID = 0;
    // The window's saved size in each mode, in twips.
    double gdblfrmWebsiteWidth = 0;
    double gdblfrmWebsiteHeight = 0;
    double gdblfraLauncherWidth = 0;
    double gdblfraLauncherHeight = 0;

    double RecordKey() const override { return mWebsiteID; }

protected:
    void setRecordKey(double key) override { mWebsiteID = key; }
    RecordListGrid& recordList() const override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
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
    void lblLaunch_Click();
    void lblMaintenance_Click();
    void tmrMasterPassword_Timer();
    void tmrWait_Timer();

private:
    // Building the window.
    QPushButton* addButton(const char* name, const QString& caption, double leftTwips, double topTwips,
                           double widthTwips, double heightTwips, void (frmWebsite::*handler)());
    void createButtons();
    void createMenus();
    void setTabOrder();

    // Start-up and commands.
    void layOutSavedMode();
    void LaunchWebsite();
    void resetIdleCount();

    // List order.
    void SaveListOrder();
    void swapRows(int upper, int lower);

    // Saved sizes and the resize rules.
    void applySavedSizes(const StartupSettings& settings);
    void SaveFormSize();
    void SaveFrameSize();
    double widthTwips() const;
    double heightTwips() const;
    void setWidthTwips(double twips);
    void setHeightTwips(double twips);
    void Form_Resize();
    void enforceMinimumSizeTwips(double minWidth, double minHeight);

    // Modes and closing.
    bool launcherShown() const;
    void fillLauncherList();
    void showLauncherPanel();
    void showLauncherMode();
    // The close box; sets cancel to keep the window open.
    void Form_QueryUnload(bool& cancel);

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
    LauncherPanel* fraLauncher;
    QTimer tmrMasterPassword{this};
    QTimer tmrWait{this};
    std::unique_ptr<RecordListGrid> m_list;
    std::unique_ptr<DataFileLock> m_dataFileLock;
};
