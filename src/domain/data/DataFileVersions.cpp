#include "domain/data/DataFileVersions.h"

#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/DataFileSchema.h"
#include "domain/steps/StepLimits.h"
#include "domain/steps/StepTypes.h"

#include <array>

namespace {

struct NumberColumn
{
    const char* table;
    const char* column;
};

// Every column that the program reads as a number.
constexpr std::array NumberColumns{
    NumberColumn{"Website", "WebsiteListOrder"},
    NumberColumn{"WebsiteInstructions", "WebsiteID"},
    NumberColumn{"WebsiteInstructions", "EventTypeID"},
    NumberColumn{"WebsiteInstructions", "NumberOfTimes"},
    NumberColumn{"Setup", "NumMinutesBeforeRequiringPasswordAgain"},
    NumberColumn{"Setup", "DefaultToLauncher"},
    NumberColumn{"Setup", "LauncherHeight"},
    NumberColumn{"Setup", "LauncherWidth"},
    NumberColumn{"Setup", "FormHeight"},
    NumberColumn{"Setup", "FormWidth"},
};

// Files made before versions were recorded may lack the CHECK constraints that refuse a word in a number column,
// and SQLite adds no constraint to an existing table without rebuilding it. These triggers refuse the same values
// instead. They see each value after the column's conversion ('10' is already the number 10), and an update is
// checked only for the columns it sets, so an old row that holds a word stays readable and changeable elsewhere.
QStringList numberColumnTriggers()
{
    QStringList statements;
    for (const NumberColumn& number : NumberColumns) {
        const QString table = QLatin1String(number.table);
        const QString column = QLatin1String(number.column);
        const QString refusal = QStringLiteral("WHEN NEW.%1 IS NOT NULL AND typeof(NEW.%1) NOT IN ('integer', 'real') "
                                               "BEGIN SELECT RAISE(ABORT, 'Data type mismatch: %1 takes a number.'); "
                                               "END")
                                    .arg(column);
        statements << QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_%2_InsertNumber BEFORE INSERT ON %1 %3")
                          .arg(table, column, refusal)
                   << QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_%2_UpdateNumber BEFORE UPDATE OF %2 ON %1 %3")
                          .arg(table, column, refusal);
    }
    return statements;
}

struct UpgradeStep
{
    QStringList statements;
    QList<DataFileRewrite> rewrites;
};

// The settings row's master password in the field cipher's form, which anyone can read back, becomes its verifier.
DataFileRewrite masterPasswordVerifier()
{
    return {QStringLiteral("Setup"), QStringLiteral("SetupID"), QStringLiteral("MasterPassword"),
            [](const QString& stored) {
                dsEncrypt cipher;
                return StoredMasterPassword::upToDate(stored, cipher);
            }};
}

// Step n brings a file of version n - 1 to version n. A new version is one more entry at the end.
QList<UpgradeStep> upgradeSteps()
{
    return {
        // 1: number columns refuse words in every file; the instructions' index, should a file lack it.
        {numberColumnTriggers() << QStringLiteral(
             "CREATE INDEX IF NOT EXISTS WebsiteInstructionsByWebsite ON WebsiteInstructions (WebsiteID)"),
         {}},
        // 2: permissions the desktop granted, kept so that the user is asked once (DesktopPermissionStatements.h).
        {{QStringLiteral("CREATE TABLE IF NOT EXISTS DesktopPermission (PermissionName TEXT PRIMARY KEY NOT NULL, "
                         "PermissionToken TEXT)")},
         {}},
        // 3: the master password kept only as a verifier.
        {{}, {masterPasswordVerifier()}},
        // 4: the stored texts protected under the master password, when the user asks (StoredTextColumns.h): the
        // derivation of the key that wraps the data key, and the wrapped key; no row while they are not protected.
        {{QStringLiteral("CREATE TABLE IF NOT EXISTS TextProtection (TextProtectionID INTEGER PRIMARY KEY "
                         "CHECK (TextProtectionID = 1), Salt TEXT NOT NULL, Passes INTEGER NOT NULL, "
                         "MemoryBytes INTEGER NOT NULL, WrappedKey TEXT NOT NULL)")},
         {}},
        // 5: the one-time code step type, unless the file has an event type of its name already, and each
        // website's pause between keys (milliseconds; 0 types as fast as the desktop takes keys).
        {{QStringLiteral("INSERT INTO EventType (EventType) SELECT '%1' WHERE NOT EXISTS "
                         "(SELECT 1 FROM EventType WHERE EventType = '%1')")
              .arg(OneTimeCodeStep.name),
          QStringLiteral("ALTER TABLE Website ADD COLUMN KeyPauseMilliseconds INTEGER NOT NULL DEFAULT 0 CHECK "
                         "(typeof(KeyPauseMilliseconds) = 'integer' AND KeyPauseMilliseconds BETWEEN 0 AND %1)")
              .arg(MaxKeyPauseMilliseconds)},
         {}},
    };
}

} // namespace

QStringList requiredDataFileTables()
{
    return {QStringLiteral("Website"), QStringLiteral("WebsiteInstructions"), QStringLiteral("EventType"),
            QStringLiteral("Setup")};
}

int currentDataFileVersion()
{
    return static_cast<int>(upgradeSteps().size());
}

namespace {

// The steps that bring a file of the version given to the current one: none for a current file, nor for a version
// this program does not know.
QList<UpgradeStep> stepsFrom(int fromVersion)
{
    const QList<UpgradeStep> steps = upgradeSteps();
    if (fromVersion < 0 || fromVersion >= steps.size())
        return {};
    return steps.mid(fromVersion);
}

} // namespace

QStringList dataFileUpgradeStatements(int fromVersion)
{
    const QList<UpgradeStep> steps = stepsFrom(fromVersion);
    if (steps.isEmpty())
        return {};
    QStringList statements;
    for (const UpgradeStep& step : steps)
        statements << step.statements;
    return statements << QStringLiteral("PRAGMA user_version = %1").arg(currentDataFileVersion());
}

QList<DataFileRewrite> dataFileUpgradeRewrites(int fromVersion)
{
    QList<DataFileRewrite> rewrites;
    for (const UpgradeStep& step : stepsFrom(fromVersion))
        rewrites << step.rewrites;
    return rewrites;
}

QStringList currentDataFileStatements()
{
    return newDataFileStatements() << dataFileUpgradeStatements(0);
}
