#include "data/InstructionStatements.h"

QString ReplayInstructionsQuery(const QString& websiteId)
{
    return QStringLiteral("SELECT Top 500 a.WebsiteInstructionsID, a.WebsiteID, b.WebsiteName, a.EventTypeID, "
                          "c.EventType,  ") +
           QStringLiteral("a.NumberOfTimes, a.TextToTypeIn ") +
           QStringLiteral("FROM WebsiteInstructions a, Website b, EventType c ") +
           QStringLiteral("WHERE b.WebsiteID = ") + websiteId + QStringLiteral(" AND ") +
           QStringLiteral("a.WebsiteID = b.WebsiteID AND a.EventTypeID = c.EventTypeID ") +
           QStringLiteral("ORDER BY a.WebsiteInstructionsID ");
}

QString FirstInstructionStatement(const QString& websiteId)
{
    return QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, ") +
           QStringLiteral("TextToTypeIn) ") + QStringLiteral("VALUES (") + websiteId + QStringLiteral(", ") +
           QStringLiteral(" ") + QStringLiteral("4") + QStringLiteral(", ") + QStringLiteral(" ") +
           QStringLiteral("'10'") + QStringLiteral(", ") + QStringLiteral(" ") + QStringLiteral("Null") +
           QStringLiteral(")") + QStringLiteral(" ");
}
