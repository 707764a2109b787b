#pragma once

#include "ui/maintenance/RecordEditor.h"

class QLineEdit;
class RecordListWindow;

// The event type editor: the name of a new event type, or of the one the event type list holds the key of.
// The name is stored in plain. Neither OK nor Cancel counts as activity for the re-lock.
class frmEditEventType : public RecordEditor
{
    Q_OBJECT

public:
    frmEditEventType(RecordListWindow& eventTypes, QWidget* owner);

protected:
    bool loadRecord(UnitOfWork& work) override;
    QString recordGoneMessage() const override;
    void saveRecord(UnitOfWork& work) override;

private:
    RecordListWindow& m_eventTypes;
    QLineEdit* txtEventType;
};
