#include "data/StatementText.h"

QString ReplaceText(const QString& source, const QString& find, const QString& replacement)
{
    QString result = source;
    if (find.isEmpty())
        return result;
    qsizetype position = result.indexOf(find, 0, Qt::CaseInsensitive);
    if (position < 0)
        return result;
    while (position >= 0) {
        result.replace(position, find.size(), replacement);
        position = result.indexOf(find, position + replacement.size(), Qt::CaseInsensitive);
    }
    return result;
}

QString FixQuotes(const QString& text)
{
    return ReplaceText(text, QStringLiteral("'"), QStringLiteral("''"));
}
