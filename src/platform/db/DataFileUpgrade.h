#pragma once

#include <QString>

class QSqlDatabase;

// Brings an open data file up to the version this program reads, in one transaction that adds and never rewrites
// (see domain/data/DataFileVersions.h); a current file costs one read of its version. Raises AppError, naming the
// file by the path given, when the file is newer than this program or of no version it knows, or when the upgrade
// fails; the file is then exactly as it was.
void bringDataFileUpToDate(const QSqlDatabase& database, const QString& path);
