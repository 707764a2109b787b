#include "domain/data/DesktopPermissionStatements.h"

#include "domain/data/StatementText.h"

QString DesktopPermissionQuery(const QString& name)
{
    return QStringLiteral("SELECT PermissionToken FROM DesktopPermission WHERE PermissionName = %1")
        .arg(QuotedValue(name));
}

QString KeepDesktopPermissionStatement(const QString& name, const QString& token, const TextEncipherment& encipher)
{
    if (token.isEmpty())
        return QStringLiteral("DELETE FROM DesktopPermission WHERE PermissionName = %1").arg(QuotedValue(name));
    return QStringLiteral("INSERT OR REPLACE INTO DesktopPermission (PermissionName, PermissionToken) VALUES (%1, %2)")
        .arg(QuotedValue(name), EncipheredValueAsTyped(token, encipher));
}
