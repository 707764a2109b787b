#include "app/StartupSettings.h"

#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/NumberText.h"
#include "data/SettingsQuery.h"

namespace {

double savedSize(const Field& field)
{
    return field.isNull() ? DefaultSavedSize : NumberTextBeginsWith(field.text());
}

StartupSettings readSettingsRow(Recordset& settings)
{
    StartupSettings read;
    read.rowFound = true;
    const QString storedPassword = settings.fields(QStringLiteral("MasterPassword")).text();
    if (!storedPassword.isEmpty())
        read.expectedMasterPassword = gobjEncrypt->Encrypt2(storedPassword);
    gblnDefaultToLauncher = BooleanFromText(settings.fields(QStringLiteral("DefaultToLauncher")).text());
    read.launcherHeight = savedSize(settings.fields(QStringLiteral("LauncherHeight")));
    read.launcherWidth = savedSize(settings.fields(QStringLiteral("LauncherWidth")));
    read.formHeight = savedSize(settings.fields(QStringLiteral("FormHeight")));
    read.formWidth = savedSize(settings.fields(QStringLiteral("FormWidth")));
    gdblRelockMinutes =
        NumberTextBeginsWith(settings.fields(QStringLiteral("NumMinutesBeforeRequiringPasswordAgain")).text());
    gdblMinutesLeft = gdblRelockMinutes;
    return read;
}

} // namespace

StartupSettings ReadStartupSettings()
{
    gobjEncrypt = std::make_unique<dsEncrypt>();
    OpenConnection();
    StartupSettings read;
    try {
        gobjRecordset->open(SettingsQuery(), *gobjConnection);
        if (!gobjRecordset->eof()) {
            gobjRecordset->moveFirst();
            read = readSettingsRow(*gobjRecordset);
        }
    } catch (...) {
        gobjRecordset.release();
        throw;
    }
    gobjRecordset->close();
    gobjRecordset.release();
    return read;
}
