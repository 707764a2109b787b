#pragma once

#include <QStringList>

// Writes a new database file at the path by running the statements in one transaction. The file is
// readable by its owner only and appears whole or not at all; an existing file is never overwritten.
// Raises AppError on failure, leaving nothing behind.
void createDatabaseFile(const QString& path, const QStringList& statements);
