#pragma once

#include "domain/crypto/DataKey.h"

#include <QString>
#include <optional>

class UnitOfWork;

// Protection of the stored texts under the master password, and the three passes that change it. Each pass is one
// transaction: a pass that fails, or a program killed midway, leaves the file as it was. The passes rewrite every
// website and step, so they run only while no main window shows the websites (DataFileLock::holdAlone).

// What the data file keeps of its protection: how the master password's key is derived, and the data key wrapped
// under it.
struct TextProtectionRow
{
    KeyDerivation derivation;
    QString wrappedKey;
};

// The protection of the open data file; nothing when its stored texts are not protected (a file of an older
// version has no table for it). Raises AppError when the row is damaged.
std::optional<TextProtectionRow> ReadTextProtection(UnitOfWork& work);

// Whether the password opens the protection; when it does, the data key is kept in memory (useDataKey). Raises
// AppError when the derivation cannot run (no memory for it).
bool UnlockStoredTexts(const TextProtectionRow& protection, const QString& password);

// Enciphers every stored text under a new random data key, wraps the key under the password, and keeps it in
// memory. The data file is then rewritten whole with its deleted content wiped, so that no earlier form of a text
// stays in it, nor in a journal beside it. Raises AppError when the file is protected already or a value cannot be
// converted (a character the field cipher never stores: the message names the website or step).
void ProtectStoredTexts(const QString& password, const KeyDerivation& derivation = KeyDerivation::fresh());

// Deciphers every stored text back to the field cipher's form and forgets the wrapped key. Needs the data key in
// memory. Raises AppError, naming the website or step, when a value fails its check: nothing is changed then.
void UnprotectStoredTexts();

// Wraps the data key in memory under a new password with a fresh salt, in the caller's transaction (the settings
// row's verifier changes with it). Nothing when the file is not protected.
void RewrapDataKey(UnitOfWork& work, const QString& newPassword);
