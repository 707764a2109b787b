#include "data/DataFileSchema.h"

QStringList newDataFileStatements()
{
    // NUMERIC columns turn quoted digits ('10') into numbers; AUTOINCREMENT keys never reuse a deleted
    // key, so the newest row always has the highest key.
    return {
        QStringLiteral("CREATE TABLE Website (WebsiteID INTEGER PRIMARY KEY AUTOINCREMENT, WebsiteName TEXT, "
                       "WebsiteLink TEXT, WebsiteListOrder INTEGER)"),
        QStringLiteral("CREATE TABLE WebsiteInstructions (WebsiteInstructionsID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "WebsiteID INTEGER, EventTypeID INTEGER, NumberOfTimes NUMERIC, TextToTypeIn TEXT)"),
        QStringLiteral("CREATE TABLE EventType (EventTypeID INTEGER PRIMARY KEY AUTOINCREMENT, EventType TEXT)"),
        QStringLiteral("CREATE TABLE Setup (SetupID INTEGER PRIMARY KEY, MasterPassword TEXT, "
                       "NumMinutesBeforeRequiringPasswordAgain NUMERIC, DefaultToLauncher NUMERIC, "
                       "LauncherHeight NUMERIC, LauncherWidth NUMERIC, FormHeight NUMERIC, FormWidth NUMERIC)"),
        QStringLiteral("CREATE INDEX WebsiteInstructionsByWebsite ON WebsiteInstructions (WebsiteID)"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (1, 'Text')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (2, 'Enter')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (3, 'Tab')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (4, 'Wait')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (5, 'Shift+Tab')"),
        QStringLiteral("INSERT INTO Setup (SetupID, MasterPassword, NumMinutesBeforeRequiringPasswordAgain, "
                       "DefaultToLauncher, FormHeight, FormWidth) VALUES (1, Null, %1, 0, %2, %3)")
            .arg(NewDataFileRelockMinutes)
            .arg(MainWindowDesignInnerHeight + MenuBarAllowance)
            .arg(MainWindowDesignWidth),
    };
}
