#include "domain/data/DataFileSchema.h"

#include "domain/steps/StepTypes.h"

namespace {

// A number column: NUMERIC turns quoted digits ('10') into numbers, and the check refuses what stays text, as a
// failed conversion, so that a word never lands where a number is read.
QString numberColumn(const char* name, const char* type = "NUMERIC")
{
    return QStringLiteral("%1 %2 CHECK (%1 IS NULL OR typeof(%1) IN ('integer', 'real'))")
        .arg(QLatin1String(name), QLatin1String(type));
}

// A step type's row in a new data file; step type names hold no quotes.
QString eventTypeSeedRow(const StepType& type)
{
    return QStringLiteral("INSERT INTO EventType (EventTypeID, EventType) VALUES (%1, '%2')")
        .arg(type.seedKey)
        .arg(type.name);
}

// The one settings row: no master password yet, the re-lock period, the main window's design size.
QString settingsRow()
{
    return QStringLiteral("INSERT INTO Setup (SetupID, MasterPassword, NumMinutesBeforeRequiringPasswordAgain, "
                          "DefaultToLauncher, FormHeight, FormWidth) VALUES (1, Null, %1, 0, %2, %3)")
        .arg(NewDataFileRelockMinutes)
        .arg(MainWindowDesignInnerHeightTwips + MenuBarAllowanceTwips)
        .arg(MainWindowDesignWidthTwips);
}

} // namespace

QStringList newDataFileStatements()
{
    // AUTOINCREMENT keys never reuse a deleted key, so the newest row always has the highest key.
    QStringList statements{
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
    };
    for (const StepType& type : StepTypes)
        statements << eventTypeSeedRow(type);
    statements << settingsRow();
    return statements;
}
