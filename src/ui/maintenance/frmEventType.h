#pragma once

#include "ui/maintenance/RecordListDialog.h"

// The event type list: every event type in a grid (its key column hidden), with Add, Delete and Close; a
// double-click opens the editor on a row. On an empty table the editor opens at once to add the first type.
// Nothing here counts as activity for the re-lock.
//
//     ModalWindow<frmEventType>::Show(this);
class frmEventType : public RecordListDialog
{
    Q_OBJECT

public:
    explicit frmEventType(QWidget* owner = nullptr);

    // The key of the event type last opened for editing, deleted or appended.
    double mEventTypeID = 0;

    double RecordKey() const override { return mEventTypeID; }

protected:
    void setRecordKey(double key) override { mEventTypeID = key; }
    void openEditor() override;
    QString deleteStatement(double key) const override;
    QString deletedNotice(UnitOfWork& work, double key) const override;
    void afterLoad() override;
};
