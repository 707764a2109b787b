#pragma once

#include "domain/crypto/StoredMasterPassword.h"

#include <QString>

// What start-up reads from the settings row before the main window is laid out.
struct StartupSettings
{
    // False when the data file has no settings row: nothing is asked, the sizes stay 0.
    bool rowFound = false;
    // The stored master password, as a verifier; not set when none is stored.
    StoredMasterPassword masterPassword;
    double launcherHeightTwips = 0;
    double launcherWidthTwips = 0;
    double formHeightTwips = 0;
    double formWidthTwips = 0;
};

// The saved size used for a Null size column, in twips.
constexpr double DefaultSavedSizeTwips = 8000;

// The start of the main window's load: creates the shared field cipher, opens the connection, reads the
// settings row and sets gblnDefaultToLauncher, gdblRelockMinutes and gdblMinutesLeft. A Null or
// non-numeric re-lock period counts as 0, as with no settings row. A unit of database work of its own.
// Raises AppError when the data file cannot be read.
StartupSettings ReadStartupSettings();
