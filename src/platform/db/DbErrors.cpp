#include "platform/db/DbErrors.h"

#include <QSqlError>

AppError objectClosedError()
{
    return AppError(ErrorNumber::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

QString sqliteMessage(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

bool isLockMessage(const QString& text)
{
    return text.contains(QStringLiteral("locked"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

bool isReadOnlyError(const QSqlError& error)
{
    constexpr int SqliteReadOnly = 8; // SQLITE_READONLY; its extended codes keep it in the low byte
    return (error.nativeErrorCode().toInt() & 0xff) == SqliteReadOnly ||
           sqliteMessage(error).contains(QStringLiteral("readonly database"), Qt::CaseInsensitive);
}

AppError statementError(const QSqlError& error)
{
    const QString text = sqliteMessage(error);
    if (isLockMessage(text))
        return AppError(ErrorNumber::StatementFailure,
                        QStringLiteral("The data file is locked by another program (%1).").arg(text));
    return AppError(ErrorNumber::StatementFailure, text);
}
