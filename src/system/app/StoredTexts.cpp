#include "system/app/StoredTexts.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StoredTextColumns.h"
#include "domain/error/AppError.h"
#include "system/app/basModule1.h"

#include <algorithm>
#include <memory>

const QString FailedCheckReason =
    QStringLiteral("it failed its check: it was changed outside Quillock, or moved from another row");

namespace {

StoredTextForm gForm = StoredTextForm::FieldCipher;
std::shared_ptr<const DataKey> gDataKey;

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
    gDataKey = std::make_shared<const DataKey>(std::move(key));
    gForm = StoredTextForm::Unlocked;
}

void expectDataKey()
{
    gDataKey.reset();
    gForm = StoredTextForm::Locked;
}

QString WrappedDataKey(const QString& password, const KeyDerivation& derivation)
{
    return unlockedKey().wrap(password, derivation);
}

std::shared_ptr<const DataKey> SharedDataKey()
{
    unlockedKey();
    return gDataKey;
}

void lockStoredTexts()
{
    if (gForm != StoredTextForm::FieldCipher)
        expectDataKey();
}

StoredTextPlace WebsiteNamePlace(const QString& websiteId)
{
    return WebsiteNameColumn().at(websiteId);
}

StoredTextPlace WebsiteLinkPlace(const QString& websiteId)
{
    return WebsiteLinkColumn().at(websiteId);
}

StoredTextPlace StepTextPlace(const QString& instructionId)
{
    return StepTextColumn().at(instructionId);
}

StoredTextPlace PermissionTokenPlace(const QString& permissionName)
{
    return PermissionTokenColumn().at(permissionName);
}

std::optional<QString> RevealStoredText(const StoredTextPlace& place, const QString& stored)
{
    if (stored.isEmpty())
        return stored;
    if (gForm == StoredTextForm::FieldCipher) {
        // a protected value where the file keeps no protection is never deciphered as the field cipher's form
        if (DataKey::looksProtected(stored))
            return std::nullopt;
        return fieldCipher().Encrypt2(stored);
    }
    return RevealStoredText(unlockedKey(), place, stored);
}

std::optional<QString> RevealStoredText(const DataKey& key, const StoredTextPlace& place, const QString& stored)
{
    if (stored.isEmpty())
        return stored;
    return key.reveal(place, stored);
}

QString RevealStoredTextOrRaise(const StoredTextPlace& place, const QString& stored, const QString& what)
{
    std::optional<QString> text = RevealStoredText(place, stored);
    if (!text)
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("%1 cannot be read: %2.").arg(what, FailedCheckReason));
    return std::move(*text);
}

QString ConcealStoredText(const StoredTextPlace& place, const QString& text)
{
    if (gForm == StoredTextForm::FieldCipher)
        return fieldCipher().Encrypt2(text);
    return unlockedKey().conceal(place, text);
}

TextEncipherment ConcealingAt(StoredTextPlace place)
{
    return [place = std::move(place)](const QString& text) { return ConcealStoredText(place, text); };
}
