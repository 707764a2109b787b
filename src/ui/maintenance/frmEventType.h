#pragma once

#include "ui/main/RecordListWindow.h"

#include <QDialog>
#include <memory>

class FlexGrid;
class QPushButton;
class RecordListGrid;

// The event type list: every event type in a grid (its key column hidden), with Add, Delete and Close; a
// double-click opens the editor on a row. On an empty table the editor opens at once to add the first type.
// Nothing here counts as activity for the re-lock.
//
//     ModalWindow<frmEventType>::Show(this);
class frmEventType : public QDialog, public RecordListWindow
{
    Q_OBJECT

public:
    explicit frmEventType(QWidget* owner = nullptr);
    ~frmEventType() override;

    // The key of the event type last opened for editing, deleted or appended.
    double mEventTypeID = 0;

    double RecordKey() const override { return mEventTypeID; }
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
    void MSFlexGrid1_MouseDown();
    void MSFlexGrid1_MouseUp();
    void MSFlexGrid1_SelChange();

private:
    QPushButton* addButton(const char* name, const QString& caption, double left, void (frmEventType::*handler)());
    void Form_Load();
    void Form_Resize();

    FlexGrid* MSFlexGrid1;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdClose;
    std::unique_ptr<RecordListGrid> m_list;
    bool m_loaded = false;
};
