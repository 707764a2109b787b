#pragma once

#include "ui/main/RecordListWindow.h"

#include <QDialog>
#include <memory>

class FlexGrid;
class RecordListGrid;
class UnitOfWork;
struct RecordListSettings;

// The pattern of the modal list windows: a grid of records below the Add, Delete, Close and Print buttons.
//
// The list is read when the window first shows, with the window centred. Add opens the window's editor on a new
// record, a double-click on a record row on that record; Delete and the Delete key delete the current record at
// once, without a question, and the grid loses its row without reading the list again. Print prints the grid
// under the window's caption, on the default printer (or into a PDF file when there is none). The window keeps a size
// of at least 6500 x 4000 twips, and the grid follows it.
//
// The controls carry the names cmdAdd, cmdDelete, cmdClose, cmdPrintGrid and MSFlexGrid1; the grid's accessible name is
// the window's caption. A list window gives its caption, its first size, its grid's settings, and what is its own
// through the hooks below; it keeps its key field (mEventTypeID, ...) and returns it from RecordKey.
class RecordListDialog : public QDialog, public RecordListWindow
{
    Q_OBJECT

public:
    ~RecordListDialog() override;

protected:
    // Where things stand when the window first shows, in twips.
    struct Layout
    {
        double widthTwips;
        double heightTwips;
        double buttonsLeftTwips;
    };

    RecordListDialog(const QString& caption, const Layout& layout, RecordListSettings settings, QWidget* owner);

    RecordListGrid& recordList() const override;

    // Shows the editor modally: on a new record when gblnNewRecord is set, otherwise on the key field's record.
    virtual void openEditor() = 0;
    // The statement that deletes the record with the key.
    virtual QString deleteStatement(double key) const = 0;
    // What the user is told once the record with the key is deleted, read in the delete's unit of work; nothing
    // by default.
    virtual QString deletedNotice(UnitOfWork& /*work*/, double /*key*/) const { return {}; }
    // Runs once the list is first read, as part of the load; its failure is reported like the read's.
    virtual void afterLoad() {}

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

protected slots:
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void cmdPrintGrid_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_KeyDown(int& keyCode, int shift);
    void MSFlexGrid1_MouseDown();
    void MSFlexGrid1_MouseUp();
    void MSFlexGrid1_SelChange();

private:
    void addButton(const char* name, const QString& caption, double leftTwips, void (RecordListDialog::*handler)());
    void Form_Load();
    void Form_Resize();

    FlexGrid* MSFlexGrid1;
    std::unique_ptr<RecordListGrid> m_list;
    bool m_loaded = false;
};
