#pragma once

#include "domain/data/SetupStatements.h"
#include "ui/maintenance/RecordEditor.h"

class QCheckBox;
class QLineEdit;

// The settings editor: the master password, the minutes of idleness before it is asked again, and whether the
// main window opens on the launcher. It always edits the one settings row and writes it back whole, the saved
// window sizes as they were read. The new re-lock period and launcher switch take effect at once; the new
// password at the next start.
// The row keeps only a verifier of the password, so the box cannot show it: when one is set, the box holds a
// stand-in (eight masked characters) until the user edits it. Left so, the password is kept; any edit replaces
// the stand-in with what is typed (Backspace or Delete leave the box empty); an empty box removes the password,
// so that nothing is asked at start-up; anything else becomes the new password.
class frmEditSetup : public RecordEditor
{
    Q_OBJECT

public:
    explicit frmEditSetup(QWidget* owner);

protected:
    bool adding() const override { return false; }
    bool loadRecord(UnitOfWork& work) override;
    QString recordGoneMessage() const override;
    bool checksPass() override;
    void saveRecord(UnitOfWork& work) override;

private:
    // The first edit of the password box takes the stand-in out of what was typed.
    void replaceStandIn(const QString& edited);

    QLineEdit* txtNumMinutesBeforeRequiringPasswordAgain;
    QCheckBox* chkDefaultToLauncher;
    QLineEdit* txtMasterPassword;
    SavedSizes m_sizes;
    // The minutes as read: kept as they are when the box is left so, whatever they hold.
    QString m_storedMinutes;
    // The master password as the row keeps it, and whether the box still shows its stand-in.
    QString m_storedPassword;
    bool m_showsStoredPassword = false;
};
