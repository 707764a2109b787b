#pragma once

#include "domain/crypto/DataKey.h"

#include <QList>
#include <QString>

// A column that holds stored texts (enciphered), with the column of its row's key. A protected data file keeps
// every value of these columns under its data key, bound to its place; a text column added later is added here.
struct StoredTextColumn
{
    QString table;
    QString keyColumn;
    QString column;

    // The place of the value in the row of this key ("12" and "12.0" are the same key).
    StoredTextPlace at(const QString& key) const;
};

// Website names and links, the steps' texts, and the desktop's permission tokens.
const QList<StoredTextColumn>& storedTextColumns();
const StoredTextColumn& WebsiteNameColumn();
const StoredTextColumn& WebsiteLinkColumn();
const StoredTextColumn& StepTextColumn();
const StoredTextColumn& PermissionTokenColumn();

// The protection of a data file's stored texts: one row when they are protected, none otherwise.
QString TextProtectionQuery();
QString DeleteTextProtectionStatement();
QString InsertTextProtectionStatement(const KeyDerivation& derivation, const QString& wrappedKey);
// Every key and value of a stored-text column, and the statement that stores one value (as it is to be stored).
QString StoredTextValuesQuery(const StoredTextColumn& column);
QString StoredTextValueStatement(const StoredTextColumn& column, const QString& key, const QString& value);
