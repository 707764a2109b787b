#pragma once

#include <QStringList>

// The statements that give a new data file its tables and the rows the program needs: one settings row
// (SetupID 1) and the five event types, "Wait" being key 4. Keys always grow, never reused.
QStringList newDataFileStatements();

// The re-lock period, in minutes, of a new data file.
constexpr int NewDataFileRelockMinutes = 15;
