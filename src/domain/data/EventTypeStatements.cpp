#include "domain/data/EventTypeStatements.h"

#include "domain/data/NumberText.h"

QString EventTypeListQuery()
{
    return QStringLiteral("SELECT Top 500 a.EventTypeID, a.EventType ") + QStringLiteral("FROM EventType a ");
}

QString EventTypeRowQuery(double eventTypeId)
{
    return EventTypeListQuery() + QStringLiteral("WHERE EventTypeID = ") + NumberToText(eventTypeId) +
           QStringLiteral(" ");
}

QString NewestEventTypeKeyQuery()
{
    return QStringLiteral("SELECT MAX(EventTypeID) FROM EventType ");
}

QString DeleteEventTypeStatement(double eventTypeId)
{
    return QStringLiteral("DELETE From EventType WHERE EventTypeID = ") + NumberToText(eventTypeId);
}

QString UpdateEventTypeStatement(const QString& nameValue, double eventTypeId)
{
    return QStringLiteral("UPDATE EventType SET ") + QStringLiteral("EventType = ") + nameValue + QStringLiteral(" ") +
           QStringLiteral("WHERE EventTypeID = ") + NumberToText(eventTypeId) + QStringLiteral(" ");
}

QString InsertEventTypeStatement(const QString& nameValue)
{
    return QStringLiteral("INSERT INTO EventType (EventType) ") + QStringLiteral("VALUES (") + nameValue +
           QStringLiteral(")") + QStringLiteral(" ");
}
