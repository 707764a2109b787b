#include "domain/data/StoredTextColumns.h"

#include "domain/data/StatementText.h"

#include <algorithm>

namespace {

// Keys are whole numbers but for the permissions' names; the grid may show one as "12" and a query give "12.0".
QString canonicalKey(const QString& key)
{
    const bool digitsOnly = !key.isEmpty() && (key.size() == 1 || key.front() != u'0') &&
                            std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (digitsOnly)
        return key; // already as a whole number is written
    bool number = false;
    const double value = key.trimmed().toDouble(&number);
    if (!number || value != static_cast<double>(static_cast<qint64>(value)))
        return key;
    return QString::number(static_cast<qint64>(value));
}

} // namespace

StoredTextPlace StoredTextColumn::at(const QString& key) const
{
    return {table, column, canonicalKey(key)};
}

const StoredTextColumn& WebsiteNameColumn()
{
    static const StoredTextColumn column{QStringLiteral("Website"), QStringLiteral("WebsiteID"),
                                         QStringLiteral("WebsiteName")};
    return column;
}

const StoredTextColumn& WebsiteLinkColumn()
{
    static const StoredTextColumn column{QStringLiteral("Website"), QStringLiteral("WebsiteID"),
                                         QStringLiteral("WebsiteLink")};
    return column;
}

const StoredTextColumn& StepTextColumn()
{
    static const StoredTextColumn column{QStringLiteral("WebsiteInstructions"), QStringLiteral("WebsiteInstructionsID"),
                                         QStringLiteral("TextToTypeIn")};
    return column;
}

const StoredTextColumn& PermissionTokenColumn()
{
    static const StoredTextColumn column{QStringLiteral("DesktopPermission"), QStringLiteral("PermissionName"),
                                         QStringLiteral("PermissionToken")};
    return column;
}

const QList<StoredTextColumn>& storedTextColumns()
{
    static const QList<StoredTextColumn> columns{WebsiteNameColumn(), WebsiteLinkColumn(), StepTextColumn(),
                                                 PermissionTokenColumn()};
    return columns;
}

QString TextProtectionQuery()
{
    return QStringLiteral("SELECT Salt, Passes, MemoryBytes, WrappedKey FROM TextProtection");
}

QString DeleteTextProtectionStatement()
{
    return QStringLiteral("DELETE FROM TextProtection");
}

QString InsertTextProtectionStatement(const KeyDerivation& derivation, const QString& wrappedKey)
{
    return QStringLiteral("INSERT INTO TextProtection (TextProtectionID, Salt, Passes, MemoryBytes, WrappedKey) "
                          "VALUES (1, %1, %2, %3, %4)")
        .arg(QuotedValue(QString::fromLatin1(derivation.salt.toBase64())))
        .arg(derivation.passes)
        .arg(derivation.memoryBytes)
        .arg(QuotedValue(wrappedKey));
}

QString StoredTextValuesQuery(const StoredTextColumn& column)
{
    return QStringLiteral("SELECT %1, %2 FROM %3 WHERE %2 IS NOT NULL AND %2 <> ''")
        .arg(column.keyColumn, column.column, column.table);
}

QString StoredTextValueStatement(const StoredTextColumn& column, const QString& key, const QString& value)
{
    return QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4 = %5")
        .arg(column.table, column.column, QuotedValue(value), column.keyColumn, QuotedValue(key));
}
