#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UnitOfWork;

// The pattern every editor follows.
//
// Load, before the window shows (Form_Load, which ModalWindow calls): the hourglass, the window centred, and in a
// unit of database work of its own, unless a record is being added, the record read and shown. A record that cannot
// be read (the data file locked by another program, say) or is no longer there keeps the window from opening: the
// user is told why, and nothing unread can be saved over the record. Once shown, the first input takes the focus
// with the caret after its text.
// OK: every text box is checked for a text longer than a stored text may be, and the boxes whose text is stored
// enciphered for characters the cipher cannot store; then the editor's own checks run; then the record is written
// and the list refreshed in one unit of work, and the window closes. A record deleted in another window since it
// was read is not written again: the user is told so and the window stays open with the input, for copying. A
// failure is reported as "Error No: <number> <description>" and the window stays open with the user's input.
// Cancel writes nothing. Print, in the editors that have it, prints the window's fields as they stand, saved or not.
//
// The controls are laid out in rows, a label to the left of each input; each input's accessible name is its
// label's caption without the "&". A text box never cuts what is typed or read into it.
class RecordEditor : public QDialog
{
    Q_OBJECT

public:
    ~RecordEditor() override;

    // Reads what the window shows; false, after telling the user why, when it could not: the window must not
    // open then. Runs once; showing the window runs it when it has not run yet (and closes the window at once
    // when it fails).
    bool Form_Load();
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

    // A text box on the next row, checked at OK for its length, and a box stored enciphered for its characters too.
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
    // Shows the record being edited; runs in the load's unit of work. False when the record is not there.
    virtual bool loadRecord(UnitOfWork& work) = 0;
    // What the user is told when the record edited is not there (any more): "This website was deleted in another
    // window."
    virtual QString recordGoneMessage() const = 0;
    // Fills what shows whether a record is added or edited (lists to choose from); runs in the load's unit of
    // work, after loadRecord.
    virtual void loadCommon(UnitOfWork& /*work*/) {}
    // The editor's own checks at OK: false after telling the user what is wrong.
    virtual bool checksPass() { return true; }
    // Writes the record and refreshes the list; runs in OK's unit of work. Raises RecordGone when a record it
    // writes or writes to is no longer there; the unit's transaction, if any, is then undone.
    virtual void saveRecord(UnitOfWork& work) = 0;

    // A record deleted by another program since the window opened: the message says which.
    struct RecordGone
    {
        QString message;
    };

    void showEvent(QShowEvent* event) override;

protected slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPrint_Click();

private:
    enum class Load
    {
        NotYet,
        Done,
        Failed
    };

    bool readRecord();
    void Form_Activate();
    bool textsCanBeStored() const;
    double nextRowTopTwips() const;

    Activity m_activity;
    double m_labelWidthTwips;
    int m_rows = 0;
    Load m_load = Load::NotYet;
    QWidget* m_firstInput = nullptr;
    QList<QLineEdit*> m_textBoxes;
    QList<QLineEdit*> m_encipheredBoxes;
};
