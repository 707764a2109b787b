#include "system/app/DataFileProtection.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "domain/data/StoredTextColumns.h"
#include "domain/error/AppError.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"

#include <functional>

namespace {

KeyDerivation derivationOf(const Recordset& row)
{
    bool passesRead = false;
    bool memoryRead = false;
    KeyDerivation derivation{QByteArray::fromBase64(row.fields(QStringLiteral("Salt")).text().toLatin1()),
                             row.fields(QStringLiteral("Passes")).text().toULongLong(&passesRead),
                             row.fields(QStringLiteral("MemoryBytes")).text().toULongLong(&memoryRead)};
    if (!passesRead || !memoryRead || !derivation.isValid())
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The data file's protection is damaged: the derivation of its key is out of "
                                      "range, so the websites cannot be unlocked."));
    return derivation;
}

// Which website or step a value belongs to, for a message.
QString valueOwner(const StoredTextColumn& column, const QString& key)
{
    if (column.table == StepTextColumn().table)
        return QStringLiteral("The text of step %1").arg(key);
    if (column.table == PermissionTokenColumn().table)
        return QStringLiteral("The desktop's kept permission");
    return QStringLiteral("The %1 of website %2")
        .arg(column.column == WebsiteLinkColumn().column ? "link" : "name", key);
}

// What a pass makes of a stored value at its place; nothing for a value it refuses.
using Conversion = std::function<std::optional<QString>(const StoredTextPlace&, const QString&)>;

// Rewrites every stored text of every column by the conversion.
void convertEveryValue(UnitOfWork& work, const Conversion& convert, const QString& refusal)
{
    for (const StoredTextColumn& column : storedTextColumns()) {
        Recordset values = work.snapshot(StoredTextValuesQuery(column));
        for (; !values.eof(); values.moveNext()) {
            const QString key = values.fields(0).text();
            const std::optional<QString> converted = convert(column.at(key), values.fields(1).text());
            if (!converted)
                throw AppError(ErrorNumber::InvalidArgument,
                               QStringLiteral("%1 cannot be read: %2. Nothing was changed.")
                                   .arg(valueOwner(column, key), refusal));
            work.execute(StoredTextValueStatement(column, key, *converted));
        }
    }
}

dsEncrypt& fieldCipher()
{
    if (!gobjEncrypt)
        gobjEncrypt = std::make_unique<dsEncrypt>();
    return *gobjEncrypt;
}

// Deleted content is overwritten with zeros from here on, on this connection.
void wipeDeletedContent(UnitOfWork& work)
{
    work.execute(QStringLiteral("PRAGMA secure_delete = ON"));
}

enum class Turning
{
    On,
    Off
};

// A pass that turns protection on or off: every value converted and the protection row changed by the statement,
// in one transaction. Protection is turned on only where it is not on already.
void convertInOneTransaction(Turning turning, const Conversion& convert, const QString& refusal,
                             const QString& protectionStatement)
{
    UnitOfWork work;
    wipeDeletedContent(work);
    work.beginTransaction();
    if (turning == Turning::On && ReadTextProtection(work))
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The websites are protected already."));
    convertEveryValue(work, convert, refusal);
    work.execute(protectionStatement);
    work.commit();
}

// The file rewritten whole, so that no earlier form of a text stays in its free pages.
void rewriteWithoutOldForms()
{
    UnitOfWork work;
    wipeDeletedContent(work);
    work.execute(QStringLiteral("VACUUM"));
}

} // namespace

std::optional<TextProtectionRow> ReadTextProtection(UnitOfWork& work)
{
    if (work.read(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'TextProtection'"))
            .eof())
        return std::nullopt;
    const Recordset& row = work.read(TextProtectionQuery());
    if (row.eof())
        return std::nullopt;
    const QString wrapped = row.fields(QStringLiteral("WrappedKey")).text();
    if (!DataKey::looksWrapped(wrapped))
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The data file's protection is damaged: its wrapped key is cut short or altered, "
                                      "so the websites cannot be unlocked."));
    return TextProtectionRow{derivationOf(row), wrapped};
}

bool UnlockStoredTexts(const TextProtectionRow& protection, const QString& password)
{
    std::optional<DataKey> key = DataKey::unwrap(protection.wrappedKey, password, protection.derivation);
    if (!key)
        return false;
    useDataKey(std::move(*key));
    return true;
}

void ProtectStoredTexts(const QString& password, const KeyDerivation& derivation)
{
    DataKey key = DataKey::generate();
    const QString wrapped = key.wrap(password, derivation);
    dsEncrypt& cipher = fieldCipher();
    convertInOneTransaction(
        Turning::On,
        [&](const StoredTextPlace& place, const QString& stored) -> std::optional<QString> {
            if (!cipher.foreignCharacter(stored).isEmpty())
                return std::nullopt;
            QString text = cipher.Encrypt2(stored);
            const QString concealed = key.conceal(place, text);
            text.fill(QChar(0));
            return concealed;
        },
        QStringLiteral("it holds a character that Quillock never stores; another program wrote it"),
        InsertTextProtectionStatement(derivation, wrapped));
    useDataKey(std::move(key));
    rewriteWithoutOldForms();
}

void UnprotectStoredTexts()
{
    dsEncrypt& cipher = fieldCipher();
    convertInOneTransaction(
        Turning::Off,
        [&](const StoredTextPlace& place, const QString& stored) -> std::optional<QString> {
            std::optional<QString> text = RevealStoredText(place, stored);
            if (!text)
                return std::nullopt;
            const QString enciphered = cipher.Encrypt2(*text);
            text->fill(QChar(0));
            return enciphered;
        },
        FailedCheckReason, DeleteTextProtectionStatement());
    useFieldCipher();
    rewriteWithoutOldForms();
}

void RewrapDataKey(UnitOfWork& work, const QString& newPassword)
{
    if (storedTextForm() == StoredTextForm::FieldCipher)
        return;
    const std::optional<TextProtectionRow> protection = ReadTextProtection(work);
    if (!protection)
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The data file's protection was removed by another program."));
    // the same cost as before, with a fresh salt
    const KeyDerivation derivation =
        KeyDerivation::fresh(protection->derivation.passes, protection->derivation.memoryBytes);
    const QString wrapped = WrappedDataKey(newPassword, derivation);
    work.execute(DeleteTextProtectionStatement());
    work.execute(InsertTextProtectionStatement(derivation, wrapped));
}
