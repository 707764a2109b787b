#pragma once

#include <QString>

#include <optional>

// The statements of the one settings row.

// Reads the settings row; shared by start-up and the settings editor.
QString SettingsQuery();
// Stores the main window's size in maintenance mode, and in launcher mode, in twips.
QString FormSizeStatement(double heightTwips, double widthTwips);
QString LauncherSizeStatement(double heightTwips, double widthTwips);

// The main window's saved sizes as the settings row holds them, in twips; empty where the row holds Null.
struct SavedSizes
{
    std::optional<double> launcherHeightTwips;
    std::optional<double> launcherWidthTwips;
    std::optional<double> formHeightTwips;
    std::optional<double> formWidthTwips;
};

// Writes the settings row, as the settings editor saves it. The master password and the minutes come as
// QuotedValue / TextValue make them; no minutes value leaves the stored one as it is. The launcher switch is
// written as 0 or 1 and the sizes as numbers or Null.
QString UpdateSetupStatement(const QString& masterPasswordValue, const std::optional<QString>& minutesValue,
                             bool defaultToLauncher, const SavedSizes& sizes);
