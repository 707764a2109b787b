#include "domain/data/StatementText.h"

#include "domain/crypto/dsEncrypt.h"

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

QString QuotedValue(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("Null");
    return QLatin1Char('\'') + FixQuotes(text) + QLatin1Char('\'');
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString TextValue(const QString& text)
{
    return QuotedValue(TrimBlanks(text));
}

QString EncipheredValue(const QString& text, const TextEncipherment& encipher)
{
    const QString trimmed = TrimBlanks(text);
    return trimmed.isEmpty() ? QStringLiteral("Null") : QuotedValue(encipher(trimmed));
}

QString EncipheredValueAsTyped(const QString& text, const TextEncipherment& encipher)
{
    return text.isEmpty() ? QStringLiteral("Null") : QuotedValue(encipher(text));
}
