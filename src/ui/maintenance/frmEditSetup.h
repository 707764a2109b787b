#pragma once

#include "domain/data/SetupStatements.h"
#include "ui/maintenance/RecordEditor.h"

class QCheckBox;
class QLineEdit;

// The settings editor: the master password, the minutes of idleness before it is asked again, and whether the
// main window opens on the launcher. It always edits the one settings row and writes it back whole, the saved
// window sizes as they were read. The new re-lock period and launcher switch take effect at once; the new
// password at the next start.
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
    QLineEdit* txtNumMinutesBeforeRequiringPasswordAgain;
    QCheckBox* chkDefaultToLauncher;
    QLineEdit* txtMasterPassword;
    SavedSizes m_sizes;
    // The minutes as read: kept as they are when the box is left so, whatever they hold.
    QString m_storedMinutes;
};
