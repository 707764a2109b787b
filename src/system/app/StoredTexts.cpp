#include "system/app/StoredTexts.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/error/AppError.h"
#include "system/app/basModule1.h"

#include <memory>

const QString FailedCheckReason =
    QStringLiteral("it failed its check: it was changed outside Quillock, or moved from another row");

namespace {

StoredTextForm gForm = StoredTextForm::FieldCipher;
std::unique_ptr<DataKey> gDataKey;

// Keys are whole numbers; the grid may show one as "12" and a query give it as "12.0".
QString canonicalKey(const QString& key)
{
    bool whole = false;
    const double number = key.trimmed().toDouble(&whole);
    if (!whole || number != static_cast<double>(static_cast<qint64>(number)))
        return key;
    return QString::number(static_cast<qint64>(number));
}

const DataKey& unlockedKey()
{
    if (gForm == StoredTextForm::Locked || !gDataKey)
        throw AppError(ErrorNumber::ObjectNotSet,
                       QStringLiteral("The websites are locked: they can be read after the master password is given."));
    return *gDataKey;
}

dsEncrypt& fieldCipher()
{
    if (!gobjEncrypt)
        throw AppError(ErrorNumber::ObjectNotSet, QStringLiteral("The field cipher has not been set up."));
    return *gobjEncrypt;
}

} // namespace

StoredTextForm storedTextForm()
{
    return gForm;
}

void useFieldCipher()
{
    gDataKey.reset();
    gForm = StoredTextForm::FieldCipher;
}

void useDataKey(DataKey key)
{
    gDataKey = std::make_unique<DataKey>(std::move(key));
    gForm = StoredTextForm::Unlocked;
}

void lockStoredTexts()
{
    if (gForm == StoredTextForm::FieldCipher)
        return;
    gDataKey.reset();
    gForm = StoredTextForm::Locked;
}

StoredTextPlace WebsiteNamePlace(const QString& websiteId)
{
    return {QStringLiteral("Website"), QStringLiteral("WebsiteName"), canonicalKey(websiteId)};
}

StoredTextPlace WebsiteLinkPlace(const QString& websiteId)
{
    return {QStringLiteral("Website"), QStringLiteral("WebsiteLink"), canonicalKey(websiteId)};
}

StoredTextPlace StepTextPlace(const QString& instructionId)
{
    return {QStringLiteral("WebsiteInstructions"), QStringLiteral("TextToTypeIn"), canonicalKey(instructionId)};
}

StoredTextPlace PermissionTokenPlace(const QString& permissionName)
{
    return {QStringLiteral("DesktopPermission"), QStringLiteral("PermissionToken"), permissionName};
}

std::optional<QString> RevealStoredText(const StoredTextPlace& place, const QString& stored)
{
    if (stored.isEmpty())
        return stored;
    if (gForm == StoredTextForm::FieldCipher)
        return fieldCipher().Encrypt2(stored);
    return unlockedKey().reveal(place, stored);
}

QString ConcealStoredText(const StoredTextPlace& place, const QString& text)
{
    if (gForm == StoredTextForm::FieldCipher)
        return fieldCipher().Encrypt2(text);
    return unlockedKey().conceal(place, text);
}
