#pragma once

#include <QString>

// The query that reads the one settings row, shared by start-up and the settings editor.
inline QString SettingsQuery()
{
    return QStringLiteral("SELECT Top 500 a.SetupID, a.MasterPassword, a.NumMinutesBeforeRequiringPasswordAgain, "
                          "a.DefaultToLauncher,  ") +
           QStringLiteral("a.LauncherHeight, a.LauncherWidth, a.FormHeight, a.FormWidth ") +
           QStringLiteral("FROM Setup a ") + QStringLiteral("WHERE SetupID = 1");
}
