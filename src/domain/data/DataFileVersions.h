#pragma once

#include <QList>
#include <QStringList>
#include <functional>

// A data file records the version of its layout in SQLite's user_version. A file written before versions were
// recorded has version 0; each version after it is one step of additive statements (new tables, new columns with
// defaults, triggers, indexes), and of rewrites of values that it keeps in another form, so an older file is brought
// up to date in place and keeps every row.

// The version of the files this program writes, and the newest it reads.
int currentDataFileVersion();

// The tables every data file holds, of whatever version: the user's websites and steps, the event types and the
// settings. (The table of the desktop's permissions may be missing: only a key sender that asks for permission
// reads it, and without it asks again.)
QStringList requiredDataFileTables();

// The statements that bring a file of the version given (0 up to the current one) to the current version, the
// statement that records the new version last; none for a current file.
QStringList dataFileUpgradeStatements(int fromVersion);

// The statements that write a new data file of the current version: the tables and rows of a new file, then every
// upgrade step, so that a new file and an upgraded one have the same layout.
QStringList currentDataFileStatements();

// A value that a version keeps in another form: the upgrade replaces each value of the column that is not Null or
// empty by what `rewritten` makes of it (an empty result is stored as Null), in the same transaction as the
// statements, after them. `rewritten` raises AppError for a value it cannot convert.
struct DataFileRewrite
{
    QString table;
    QString keyColumn;
    QString column;
    std::function<QString(const QString&)> rewritten;
};

// The rewrites that bring a file of the version given to the current version, in the order of their versions.
QList<DataFileRewrite> dataFileUpgradeRewrites(int fromVersion);
