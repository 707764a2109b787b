#pragma once

#include "ui/main/RecordListWindow.h"

#include <QDialog>
#include <memory>

class FlexGrid;
class QPushButton;
class RecordListGrid;

// The steps of one website: the one whose row is current in the website list, read anew at each fill. Add and
// a double-click open the instruction editor; Delete and the Delete key remove the current step at once. The
// names are shown deciphered, the texts to type as stored, enciphered.
class frmWebsiteInstructions : public QDialog, public RecordListWindow
{
    Q_OBJECT

public:
    frmWebsiteInstructions(const RecordListWindow& websites, QWidget* owner);
    ~frmWebsiteInstructions() override;

    // The key of the step last opened for editing, deleted or appended.
    double mWebsiteInstructionsID = 0;

    double RecordKey() const override { return mWebsiteInstructionsID; }
    int GridRows() const override;
    int GridRow() const override;
    QString GridTextMatrix(int row, int col) const override;
    void FillGrid() override;
    void UpdateGridRow() override;
    void AddGridRow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_KeyDown(int& keyCode, int shift);

private:
    QPushButton* addButton(const char* name, const QString& caption, double left,
                           void (frmWebsiteInstructions::*handler)());
    void Form_Load();
    void Form_Resize();

    const RecordListWindow& m_websites;
    bool m_loaded = false;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdClose;
    FlexGrid* MSFlexGrid1;
    std::unique_ptr<RecordListGrid> m_list;
};
