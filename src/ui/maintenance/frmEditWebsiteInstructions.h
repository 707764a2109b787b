#pragma once

#include "ui/maintenance/RecordEditor.h"

#include <QTimer>

class QComboBox;
class QLabel;
class QLineEdit;
class RecordListWindow;

// The instruction editor: one step of the current website's replay, new or the one the instruction list holds
// the key of. The event type chosen decides which of the number and the text can be filled in; the website is
// the one current in the website list, whose name shows last.
class frmEditWebsiteInstructions : public RecordEditor
{
    Q_OBJECT

public:
    frmEditWebsiteInstructions(RecordListWindow& instructions, const RecordListWindow& websites, QWidget* owner);

protected:
    bool loadRecord(UnitOfWork& work) override;
    QString recordGoneMessage() const override;
    void loadCommon(UnitOfWork& work) override;
    bool checksPass() override;
    void saveRecord(UnitOfWork& work) override;

private slots:
    void cboEventType_Click();
    void showCodeNow();

private:
    void fillEventTypes(UnitOfWork& work);
    // Each shows its message when it refuses.
    bool knownToALaunch();
    bool countWithinLimits();
    bool roomForAnotherStep();
    bool secretGivesCodes();
    // Whether the step type chosen types a one-time code.
    bool typesOneTimeCode() const;
    QString websiteCell(int col) const;
    QString textValue(const QString& instructionId) const;

    RecordListWindow& m_instructions;
    const RecordListWindow& m_websites;
    // The event type of the step read, as stored; empty when adding.
    QString m_eventTypeId;
    QComboBox* cboEventType;
    QLineEdit* txtNumberOfTimes;
    QLabel* lblNumberOfTimes;
    QLineEdit* txtTextToTypeIn;
    QLabel* lblCodeNow;
    QTimer tmrCodeNow{this};
    QLineEdit* txtWebsiteName;
};
