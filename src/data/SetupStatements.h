#pragma once

#include <QString>

// The statements of the one settings row.

// Reads the settings row; shared by start-up and the settings editor.
QString SettingsQuery();
// Stores the main window's size in maintenance mode, and in launcher mode, in twips.
QString FormSizeStatement(double height, double width);
QString LauncherSizeStatement(double height, double width);
