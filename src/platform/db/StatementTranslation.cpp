#include "platform/db/StatementTranslation.h"

#include <QRegularExpression>

namespace {

QString translateTop(const QString& statement)
{
    static const QRegularExpression top(QStringLiteral(R"(^\s*SELECT\s+TOP\s+(\d+)\s+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = top.match(statement);
    if (!match.hasMatch())
        return statement;
    // Blanks and semicolons at the end are no part of the statement; the LIMIT goes on a line of its own so
    // that a comment at the end of the statement cannot take it in.
    QString rest = statement.mid(match.capturedEnd());
    qsizetype end = rest.size();
    while (end > 0 && (rest[end - 1].isSpace() || rest[end - 1] == QLatin1Char(';')))
        --end;
    rest.truncate(end);
    return QStringLiteral("SELECT ") + rest + QStringLiteral("\nLIMIT ") + match.captured(1);
}

} // namespace

QString translateStatement(const QString& statement)
{
    static const QRegularExpression identity(QStringLiteral(R"(^\s*SELECT\s+@@IDENTITY\s*;?\s*$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (identity.match(statement).hasMatch())
        return QStringLiteral("SELECT last_insert_rowid()");
    return translateTop(statement);
}
