#include "domain/data/InstructionStatements.h"

#include "domain/data/NumberText.h"
#include "domain/steps/StepTypes.h"

namespace {

// What every statement that lists instructions with their names begins with. An instruction whose event type
// is gone is kept, with no event type key and the name MissingEventTypeName, so that the user sees it.
QString instructionsWithNames()
{
    return QStringLiteral("SELECT Top 500 a.WebsiteInstructionsID, a.WebsiteID, b.WebsiteName, c.EventTypeID, ") +
           QStringLiteral("CASE WHEN c.EventTypeID IS NULL THEN '%1' ELSE c.EventType END AS EventType,  ")
               .arg(MissingEventTypeName) +
           QStringLiteral("a.NumberOfTimes, a.TextToTypeIn ") +
           QStringLiteral("FROM WebsiteInstructions a INNER JOIN Website b ON a.WebsiteID = b.WebsiteID ") +
           QStringLiteral("LEFT JOIN EventType c ON a.EventTypeID = c.EventTypeID ");
}

// Two blanks after each comma between values.
QString valueSeparator()
{
    return QStringLiteral(", ") + QStringLiteral(" ");
}

} // namespace

QString ReplayInstructionsQuery(const QString& websiteId)
{
    return instructionsWithNames() + QStringLiteral("WHERE b.WebsiteID = ") + websiteId + QStringLiteral(" ") +
           QStringLiteral("ORDER BY a.WebsiteInstructionsID ");
}

QString InstructionListQuery(const QString& websiteId)
{
    return instructionsWithNames() + QStringLiteral("WHERE b.WebsiteID = ") + websiteId;
}

QString InstructionRowQuery(double instructionId)
{
    return instructionsWithNames() + QStringLiteral("WHERE a.WebsiteInstructionsID = ") + NumberToText(instructionId) +
           QStringLiteral(" ");
}

QString InstructionCountQuery(const QString& websiteId)
{
    return QStringLiteral("SELECT Count(*) FROM WebsiteInstructions WHERE WebsiteID = ") + websiteId;
}

QString InstructionsOfEventTypeQuery(double eventTypeId)
{
    return QStringLiteral("SELECT Count(*) FROM WebsiteInstructions WHERE EventTypeID = ") + NumberToText(eventTypeId);
}

QString NewestInstructionKeyQuery()
{
    return QStringLiteral("SELECT MAX(WebsiteInstructionsID) FROM WebsiteInstructions ");
}

QString DeleteInstructionStatement(double instructionId)
{
    return QStringLiteral("DELETE From WebsiteInstructions WHERE WebsiteInstructionsID = ") +
           NumberToText(instructionId);
}

QString EventTypeChoicesQuery()
{
    return QStringLiteral("SELECT EventTypeID, EventType FROM EventType");
}

QString UpdateInstructionStatement(const QString& websiteId, const QString& eventTypeId, const QString& numberValue,
                                   const QString& textValue, double instructionId)
{
    return QStringLiteral("UPDATE WebsiteInstructions SET ") + QStringLiteral("WebsiteID = ") + websiteId +
           valueSeparator() + QStringLiteral("EventTypeID = ") + eventTypeId + valueSeparator() +
           QStringLiteral("NumberOfTimes = ") + numberValue + valueSeparator() + QStringLiteral("TextToTypeIn = ") +
           textValue + QStringLiteral(" ") + QStringLiteral("WHERE WebsiteInstructionsID = ") +
           NumberToText(instructionId) + QStringLiteral(" ");
}

QString InsertInstructionStatement(const QString& websiteId, const QString& eventTypeId, const QString& numberValue,
                                   const QString& textValue)
{
    return QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, ") +
           QStringLiteral("TextToTypeIn) ") + QStringLiteral("VALUES (") + websiteId + valueSeparator() + eventTypeId +
           valueSeparator() + numberValue + valueSeparator() + textValue + QStringLiteral(")") + QStringLiteral(" ");
}

QString FirstInstructionStatement(const QString& websiteId)
{
    return InsertInstructionStatement(websiteId, QString::number(WaitStep.seedKey), QStringLiteral("'10'"),
                                      QStringLiteral("Null"));
}
