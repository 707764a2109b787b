#include "ui/maintenance/frmEditEventType.h"

#include "domain/data/EventTypeStatements.h"
#include "domain/data/StatementText.h"
#include "platform/db/Recordset.h"
#include "system/app/UnitOfWork.h"
#include "ui/main/RecordListWindow.h"

#include <QLineEdit>

frmEditEventType::frmEditEventType(RecordListWindow& eventTypes, QWidget* owner)
    : RecordEditor(QStringLiteral("Event Type"), Activity::NotCounted, owner), m_eventTypes(eventTypes)
{
    txtEventType = addTextBox("txtEventType", "lblEventType", QStringLiteral("Event Type"));
    addButtons(PrintButton::Shown);
}

bool frmEditEventType::loadRecord(UnitOfWork& work)
{
    const Recordset& eventType = work.read(EventTypeRowQuery(m_eventTypes.RecordKey()));
    if (eventType.eof())
        return false;
    txtEventType->setText(eventType.fields(QStringLiteral("EventType")).text());
    return true;
}

QString frmEditEventType::recordGoneMessage() const
{
    return QStringLiteral("This event type was deleted in another window.");
}

// A new event type is always appended to the list, even to an empty one: the list is not read again.
void frmEditEventType::saveRecord(UnitOfWork& work)
{
    const QString name = TextValue(txtEventType->text());
    if (adding()) {
        work.execute(InsertEventTypeStatement(name));
        m_eventTypes.AddGridRow();
        return;
    }
    if (work.execute(UpdateEventTypeStatement(name, m_eventTypes.RecordKey())) == 0)
        throw RecordGone{recordGoneMessage()};
    m_eventTypes.UpdateGridRow();
}
