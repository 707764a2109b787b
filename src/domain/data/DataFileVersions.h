#pragma once

#include <QStringList>

// A data file records the version of its layout in SQLite's user_version. A file written before versions were
// recorded has version 0; each version after it is one step of additive statements (new tables, new columns with
// defaults, triggers, indexes), so an older file is brought up to date in place and keeps every row.

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
