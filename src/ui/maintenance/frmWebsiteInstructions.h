#pragma once

#include "ui/maintenance/RecordListDialog.h"

// The steps of one website: the one whose row is current in the website list, read anew at each fill. Add and
// a double-click open the instruction editor; Delete and the Delete key remove the current step at once. The
// names are shown deciphered, the texts to type as stored, enciphered.
class frmWebsiteInstructions : public RecordListDialog
{
    Q_OBJECT

public:
    frmWebsiteInstructions(const RecordListWindow& websites, QWidget* owner);

    // The key of the step last opened for editing, deleted or appended.
    double mWebsiteInstructionsID = 0;

    double RecordKey() const override { return mWebsiteInstructionsID; }

protected:
    void setRecordKey(double key) override { mWebsiteInstructionsID = key; }
    void openEditor() override;
    QString deleteStatement(double key) const override;

private:
    const RecordListWindow& m_websites;
};
