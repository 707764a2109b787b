#include "domain/data/WebsiteStatements.h"

#include "domain/data/NumberText.h"
#include "domain/data/StatementText.h"

QString WebsiteListQuery()
{
    return QStringLiteral("SELECT a.WebsiteID, a.WebsiteName, a.WebsiteLink, a.WebsiteListOrder ") +
           QStringLiteral("FROM Website a ") + QStringLiteral("ORDER BY WebsiteListOrder");
}

QString WebsiteRowQuery(double websiteId)
{
    return QStringLiteral("SELECT Top 500 a.WebsiteID, a.WebsiteName, a.WebsiteLink ") +
           QStringLiteral("FROM Website a ") + QStringLiteral("WHERE WebsiteID = ") + NumberToText(websiteId) +
           QStringLiteral(" ");
}

QString NewestWebsiteKeyQuery()
{
    return QStringLiteral("SELECT MAX(WebsiteID) FROM Website ");
}

QString DeleteWebsiteInstructionsStatement(double websiteId)
{
    return QStringLiteral("DELETE From WebsiteInstructions WHERE WebsiteID = ") + NumberToText(websiteId);
}

QString DeleteWebsiteStatement(double websiteId)
{
    return QStringLiteral("DELETE From Website WHERE WebsiteID = ") + NumberToText(websiteId);
}

QString WebsiteCountQuery(const QString& websiteId)
{
    return QStringLiteral("SELECT Count(*) FROM Website WHERE WebsiteID = ") + websiteId;
}

QString WebsiteListOrderStatement(int position, const QString& websiteId)
{
    return QStringLiteral("UPDATE Website SET ") + QStringLiteral("WebsiteListOrder = ") + QString::number(position) +
           QStringLiteral(" ") + QStringLiteral("WHERE WebsiteID = ") + websiteId + QStringLiteral(" ");
}

QString WebsiteEditorQuery(double websiteId)
{
    return QStringLiteral("SELECT a.WebsiteID, a.WebsiteName, a.WebsiteLink ") + QStringLiteral("FROM Website a ") +
           QStringLiteral("WHERE WebsiteID = ") + NumberToText(websiteId) + QStringLiteral(" ");
}

QString UpdateWebsiteStatement(const QString& nameValue, const QString& linkValue, double websiteId)
{
    return QStringLiteral("UPDATE Website SET ") + QStringLiteral("WebsiteName = ") + nameValue + QStringLiteral(", ") +
           QStringLiteral(" ") + QStringLiteral("WebsiteLink = ") + linkValue + QStringLiteral(" ") +
           QStringLiteral("WHERE WebsiteID = ") + NumberToText(websiteId) + QStringLiteral(" ");
}

QString InsertWebsiteStatement(const QString& nameValue, const QString& linkValue)
{
    return QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink) ") + QStringLiteral("VALUES (") + nameValue +
           QStringLiteral(", ") + QStringLiteral(" ") + linkValue + QStringLiteral(")") + QStringLiteral(" ");
}

QString NextListOrderStatement(const QString& websiteId)
{
    return QStringLiteral("UPDATE Website SET WebsiteListOrder = ") +
           QStringLiteral("(SELECT IFNULL(MAX(WebsiteListOrder), 0) + 1 FROM Website) ") +
           QStringLiteral("WHERE WebsiteID = ") + websiteId + QStringLiteral(" ");
}

QString ReencipherWebsitesQuery()
{
    return QStringLiteral("SELECT WebsiteID, WebsiteName, WebsiteLink ") + QStringLiteral("FROM Website ");
}

QString ReencipherWebsiteStatement(const QString& name, const std::optional<QString>& link, double websiteId)
{
    QString statement = QStringLiteral("UPDATE Website SET WebsiteName = '") + FixQuotes(name);
    if (link)
        statement += QStringLiteral("', ") + QStringLiteral("WebsiteLink = '") + FixQuotes(*link);
    return statement + QStringLiteral("' ") + QStringLiteral("WHERE WebsiteID = ") + NumberToText(websiteId);
}

QString WebsiteKeyPauseQuery(const QString& websiteId)
{
    return QStringLiteral("SELECT KeyPauseMilliseconds FROM Website WHERE WebsiteID = ") + websiteId;
}

QString WebsiteKeyPauseStatement(int milliseconds, const QString& websiteId)
{
    return QStringLiteral("UPDATE Website SET KeyPauseMilliseconds = %1 WHERE WebsiteID = %2")
        .arg(milliseconds)
        .arg(websiteId);
}

QString IdentityQuery()
{
    return QStringLiteral("SELECT @@Identity ");
}
