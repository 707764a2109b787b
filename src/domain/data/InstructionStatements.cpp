#include "domain/data/InstructionStatements.h"

#include "domain/data/NumberText.h"
#include "domain/steps/StepTypes.h"

namespace {

// What every statement that lists instructions with their names begins with.
QString instructionsWithNames()
{
    return QStringLiteral("SELECT Top 500 a.WebsiteInstructionsID, a.WebsiteID, b.WebsiteName, a.EventTypeID, "
                          "c.EventType,  ") +
           QStringLiteral("a.NumberOfTimes, a.TextToTypeIn ") +
           QStringLiteral("FROM WebsiteInstructions a, Website b, EventType c ");
}

// Two blanks after each comma between values.
QString valueSeparator()
{
    return QStringLiteral(", ") + QStringLiteral(" ");
}

} // namespace

QString ReplayInstructionsQuery(const QString& websiteId)
{
    return instructionsWithNames() + QStringLiteral("WHERE b.WebsiteID = ") + websiteId + QStringLiteral(" AND ") +
           QStringLiteral("a.WebsiteID = b.WebsiteID AND a.EventTypeID = c.EventTypeID ") +
           QStringLiteral("ORDER BY a.WebsiteInstructionsID ");
}

QString InstructionListQuery(const QString& websiteId)
{
    return instructionsWithNames() +
           QStringLiteral("WHERE a.WebsiteID = b.WebsiteID AND a.EventTypeID = c.EventTypeID ") +
           QStringLiteral("AND b.WebsiteID = ") + websiteId;
}

QString InstructionRowQuery(double instructionId)
{
    return instructionsWithNames() + QStringLiteral("WHERE WebsiteInstructionsID = ") + NumberToText(instructionId) +
           QStringLiteral(" AND ") + QStringLiteral("a.WebsiteID = b.WebsiteID AND a.EventTypeID = c.EventTypeID ");
}

QString InstructionCountQuery(const QString& websiteId)
{
    return QStringLiteral("SELECT Count(*) FROM WebsiteInstructions WHERE WebsiteID = ") + websiteId;
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
