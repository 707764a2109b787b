#pragma once

#include <QString>

class QSqlDatabase;

// Brings an open data file up to the version this program reads, in one transaction that adds, and rewrites only
// the values a version keeps in another form (see domain/data/DataFileVersions.h); a current file costs a read of
// its version and of its tables' names. Raises AppError, naming the file by the path given, when the file is newer
// than this program or of no version it knows, when it lacks a table every data file has (naming it), or when the
// upgrade fails; the file is then exactly as it was. A file that cannot be written (read-only, or on read-only
// storage) is left at its version, to be read as it is.
void bringDataFileUpToDate(const QSqlDatabase& database, const QString& path);
