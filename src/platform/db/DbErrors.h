#pragma once

#include "domain/error/AppError.h"

#include <QSqlError>

// The failures that the connection and the recordset share.
AppError objectClosedError();
// The database's own message for a failure, or Qt's when the database gave none.
QString sqliteMessage(const QSqlError& error);
// A statement's failure, with a plain word for a file that another program holds locked.
AppError statementError(const QSqlError& error);
bool isLockMessage(const QString& text);
// Whether the database refused a change because the data file is read-only: write-protected, or on storage that
// is mounted read-only.
bool isReadOnlyError(const QSqlError& error);
