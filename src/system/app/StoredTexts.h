#pragma once

#include "domain/crypto/DataKey.h"
#include "domain/data/StatementText.h"

#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The stored texts: website names and links, the steps' texts and the desktop's permission token. A data file keeps
// them in the field cipher's form, or, when the file is protected, each enciphered under the file's data key and
// bound to its place (DataKey). Every read and write of a stored text goes through here, with its place.

// How the open data file keeps its stored texts.
enum class StoredTextForm
{
    FieldCipher, // not protected
    Locked,      // protected, and the data key is not in memory (before the password, and while it is asked again)
    Unlocked     // protected, and the data key is in memory
};

StoredTextForm storedTextForm();
// The open data file is not protected; any data key is dropped.
void useFieldCipher();
// The open data file is protected; its data key, once the master password unwrapped it.
void useDataKey(DataKey key);
// The open data file is protected; its data key is not in memory yet.
void expectDataKey();
// The data key in memory, for work on other threads that must not lose it midway (StoredTextBatch): a lock wipes it
// once that work lets it go. Raises AppError when none is in memory.
std::shared_ptr<const DataKey> SharedDataKey();
// Drops the data key of a protected file (wiping it), until the master password is given again.
void lockStoredTexts();
// The data key in memory, wrapped under the password. Raises AppError when none is in memory.
QString WrappedDataKey(const QString& password, const KeyDerivation& derivation);

// The places of the stored texts, by their row's key as the data file or the grid gives it ("12", "12.0").
StoredTextPlace WebsiteNamePlace(const QString& websiteId);
StoredTextPlace WebsiteLinkPlace(const QString& websiteId);
StoredTextPlace StepTextPlace(const QString& instructionId);
StoredTextPlace PermissionTokenPlace(const QString& permissionName);

// The text that a stored value holds at its place; an empty value stays empty. Nothing when the file is protected
// and the value fails its check there (changed outside Quillock, cut short, or moved from another place). Raises
// AppError when the file is protected and locked, and when the field cipher is not set up.
std::optional<QString> RevealStoredText(const StoredTextPlace& place, const QString& stored);
// The same for a protected file's value under the key given, for work that holds the key itself (StoredTextBatch).
std::optional<QString> RevealStoredText(const DataKey& key, const StoredTextPlace& place, const QString& stored);
// The same for a value that must be read: raises AppError "<what> cannot be read: <why>." when it fails its check.
QString RevealStoredTextOrRaise(const StoredTextPlace& place, const QString& stored, const QString& what);
// The text as it is to be stored at its place. Raises AppError as RevealStoredText does.
QString ConcealStoredText(const StoredTextPlace& place, const QString& text);
// ConcealStoredText for the place, as the statement helpers take an encipherment (EncipheredValue).
TextEncipherment ConcealingAt(StoredTextPlace place);

// Why a stored value that RevealStoredText refused cannot be read, in words that follow "... cannot be read: ".
extern const QString FailedCheckReason;
