#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UnitOfWork;

// The pattern every editor follows.
//
// Load, when the window first shows: the hourglass, the window centred, and in a unit of database work of its
// own, unless a record is being added, the record read and shown. Then the first input takes the focus with
// the caret after its text.
// OK: the boxes whose text is stored enciphered are checked for characters the cipher cannot store, then the
// editor's own checks run; then the record is written and the list refreshed in one unit of work, and the
// window closes. A failure is reported as "Error No: <number> <description>" and the window stays open with
// the user's input. Cancel writes nothing. Print, in the editors that have it, prints the window's fields as they
// stand, saved or not.
//
// The controls are laid out in rows, a label to the left of each input; each input's accessible name is its
// label's caption without the "&".
class RecordEditor : public QDialog
{
    Q_OBJECT

public:
    ~RecordEditor() override;

    // Showing the window puts the focus in the first input, the caret after its text and nothing selected.
    void setVisible(bool visible) override;

protected:
    // Whether OK and Cancel count as the user's activity for the re-lock (they set the idle count back).
    enum class Activity
    {
        Counted,
        NotCounted
    };
    enum class Storage
    {
        Plain,
        Enciphered
    };

    RecordEditor(const QString& caption, Activity activity, QWidget* owner, double labelWidthTwips = 1800);

    // A text box on the next row. A box stored enciphered is checked at OK.
    QLineEdit* addTextBox(const char* name, const char* labelName, const QString& caption,
                          Storage storage = Storage::Plain);
    // Any other input on the next row, with a label when a caption is given.
    QLabel* addRow(QWidget* input, const char* labelName = nullptr, const QString& caption = {});
    // Whether the editor has a Print button, which prints the window's fields (and counts as activity when OK
    // and Cancel do).
    enum class PrintButton
    {
        None,
        Shown
    };

    // The OK and Cancel buttons, and Print when asked for, below the rows; call once every row is added.
    void addButtons(PrintButton print = PrintButton::None);

    // True when the window adds a record, false when it edits one.
    virtual bool adding() const;
    // Shows the record being edited; runs in the load's unit of work.
    virtual void loadRecord(UnitOfWork& work) = 0;
    // Fills what shows whether a record is added or edited (lists to choose from); runs in the load's unit of
    // work, after loadRecord.
    virtual void loadCommon(UnitOfWork& /*work*/) {}
    // The editor's own checks at OK: false after telling the user what is wrong.
    virtual bool checksPass() { return true; }
    // Writes the record and refreshes the list; runs in OK's unit of work.
    virtual void saveRecord(UnitOfWork& work) = 0;

    void showEvent(QShowEvent* event) override;

protected slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPrint_Click();

private:
    void Form_Load();
    void Form_Activate();
    bool textsCanBeStored() const;
    double nextRowTopTwips() const;

    Activity m_activity;
    double m_labelWidthTwips;
    int m_rows = 0;
    bool m_loaded = false;
    QWidget* m_firstInput = nullptr;
    QList<QLineEdit*> m_encipheredBoxes;
};
