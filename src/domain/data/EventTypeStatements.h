#pragma once

#include <QString>

// The statements of the event type list and its editor. Event type names are stored in plain.

// The event types in the database's order, at most 500.
QString EventTypeListQuery();
// Key and name of one event type: the list's refresh and appended row, and the editor's record.
QString EventTypeRowQuery(double eventTypeId);
// The key of the event type added last.
QString NewestEventTypeKeyQuery();
QString DeleteEventTypeStatement(double eventTypeId);

// The editor's statements; the value comes as TextValue makes it.
QString UpdateEventTypeStatement(const QString& nameValue, double eventTypeId);
QString InsertEventTypeStatement(const QString& nameValue);
