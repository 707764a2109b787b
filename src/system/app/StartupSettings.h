#pragma once

#include "domain/crypto/StoredMasterPassword.h"
#include "system/app/DataFileProtection.h"

#include <QString>

// What start-up reads from the settings row before the main window is laid out.
struct StartupSettings
{
    // False when the data file has no settings row: nothing is asked, the sizes stay 0.
    bool rowFound = false;
    // The stored master password, as a verifier; not set when none is stored.
    StoredMasterPassword masterPassword;
    // The protection of the stored texts under the master password; none when they are not protected.
    std::optional<TextProtectionRow> protection;
    double launcherHeightTwips = 0;
    double launcherWidthTwips = 0;
    double formHeightTwips = 0;
    double formWidthTwips = 0;
};

// The saved size used for a Null size column, in twips.
constexpr double DefaultSavedSizeTwips = 8000;

// The start of the main window's load: creates the shared field cipher, opens the connection, reads the
// settings row and the protection of the stored texts (their data key is then expected: expectDataKey), and sets
// gblnDefaultToLauncher, gdblRelockMinutes and gdblMinutesLeft. A Null or
// non-numeric re-lock period counts as 0, as with no settings row. A unit of database work of its own.
// Raises AppError when the data file cannot be read.
StartupSettings ReadStartupSettings();
