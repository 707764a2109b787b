#include "system/app/StartupSettings.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "domain/data/SetupStatements.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"

namespace {

double savedSizeTwips(const Field& field)
{
    return field.isNull() ? DefaultSavedSizeTwips : NumberTextBeginsWith(field.text());
}

StartupSettings readSettingsRow(Recordset& settings)
{
    StartupSettings read;
    read.rowFound = true;
    read.masterPassword =
        StoredMasterPassword::fromStored(settings.fields(QStringLiteral("MasterPassword")).text(), *gobjEncrypt);
    gblnDefaultToLauncher = BooleanFromText(settings.fields(QStringLiteral("DefaultToLauncher")).text());
    read.launcherHeightTwips = savedSizeTwips(settings.fields(QStringLiteral("LauncherHeight")));
    read.launcherWidthTwips = savedSizeTwips(settings.fields(QStringLiteral("LauncherWidth")));
    read.formHeightTwips = savedSizeTwips(settings.fields(QStringLiteral("FormHeight")));
    read.formWidthTwips = savedSizeTwips(settings.fields(QStringLiteral("FormWidth")));
    gdblRelockMinutes =
        NumberTextBeginsWith(settings.fields(QStringLiteral("NumMinutesBeforeRequiringPasswordAgain")).text());
    gdblMinutesLeft = gdblRelockMinutes;
    return read;
}

} // namespace

StartupSettings ReadStartupSettings()
{
    gobjEncrypt = std::make_unique<dsEncrypt>();
    UnitOfWork work;
    std::optional<TextProtectionRow> protection = ReadTextProtection(work);
    if (protection)
        expectDataKey();
    else
        useFieldCipher();
    Recordset& settings = work.read(SettingsQuery());
    StartupSettings read;
    if (!settings.eof()) {
        settings.moveFirst();
        read = readSettingsRow(settings);
    }
    read.protection = std::move(protection);
    return read;
}
