#pragma once

#include <QStringList>

// The statements that give a new data file its tables and the rows the program needs: one settings row
// (SetupID 1) and the five event types, "Wait" being key 4. Keys always grow, never reused.
QStringList newDataFileStatements();

// The re-lock period, in minutes, of a new data file.
constexpr int NewDataFileRelockMinutes = 15;

// The main window's design size, in twips: the width and height of its inner area, and the height allowed for
// the menu bar above it. A new data file stores the whole as the saved maintenance size, so that the first
// start shows every button.
constexpr int MainWindowDesignWidthTwips = 12885;
constexpr int MainWindowDesignInnerHeightTwips = 8325;
constexpr int MenuBarAllowanceTwips = 330;
