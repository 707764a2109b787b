#include "domain/data/DataFileSchema.h"

namespace {

// A number column: NUMERIC turns quoted digits ('10') into numbers, and the check refuses what stays text, as a
// failed conversion, so that a word never lands where a number is read.
QString numberColumn(const char* name, const char* type = "NUMERIC")
{
    return QStringLiteral("%1 %2 CHECK (%1 IS NULL OR typeof(%1) IN ('integer', 'real'))")
        .arg(QLatin1String(name), QLatin1String(type));
}

} // namespace

QStringList newDataFileStatements()
{
    // AUTOINCREMENT keys never reuse a deleted key, so the newest row always has the highest key.
    return {
        QStringLiteral("CREATE TABLE Website (WebsiteID INTEGER PRIMARY KEY AUTOINCREMENT, WebsiteName TEXT, "
                       "WebsiteLink TEXT, %1)")
            .arg(numberColumn("WebsiteListOrder", "INTEGER")),
        QStringLiteral("CREATE TABLE WebsiteInstructions (WebsiteInstructionsID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "%1, %2, %3, TextToTypeIn TEXT)")
            .arg(numberColumn("WebsiteID", "INTEGER"), numberColumn("EventTypeID", "INTEGER"),
                 numberColumn("NumberOfTimes")),
        QStringLiteral("CREATE TABLE EventType (EventTypeID INTEGER PRIMARY KEY AUTOINCREMENT, EventType TEXT)"),
        QStringLiteral("CREATE TABLE Setup (SetupID INTEGER PRIMARY KEY, MasterPassword TEXT, %1, %2, %3, %4, %5, %6)")
            .arg(numberColumn("NumMinutesBeforeRequiringPasswordAgain"), numberColumn("DefaultToLauncher"),
                 numberColumn("LauncherHeight"), numberColumn("LauncherWidth"), numberColumn("FormHeight"),
                 numberColumn("FormWidth")),
        QStringLiteral("CREATE INDEX WebsiteInstructionsByWebsite ON WebsiteInstructions (WebsiteID)"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (1, 'Text')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (2, 'Enter')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (3, 'Tab')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (4, 'Wait')"),
        QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (5, 'Shift+Tab')"),
        QStringLiteral("INSERT INTO Setup (SetupID, MasterPassword, NumMinutesBeforeRequiringPasswordAgain, "
                       "DefaultToLauncher, FormHeight, FormWidth) VALUES (1, Null, %1, 0, %2, %3)")
            .arg(NewDataFileRelockMinutes)
            .arg(MainWindowDesignInnerHeightTwips + MenuBarAllowanceTwips)
            .arg(MainWindowDesignWidthTwips),
    };
}
