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
    QString rest = statement.mid(match.capturedEnd()).trimmed();
    while (rest.endsWith(QLatin1Char(';')))
        rest.chop(1);
    return QStringLiteral("SELECT ") + rest + QStringLiteral(" LIMIT ") + match.captured(1);
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
