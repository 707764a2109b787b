#pragma once

// The master password gate: the one question at start-up, and the re-lock that asks again after the
// configured idle minutes and checks the answer against the password check file.

#include "system/app/DataFileProtection.h"

#include <QString>
#include <functional>
#include <optional>

class QTimer;
class StoredMasterPassword;

// The start-up question, asked only when a master password is stored (none: returns true at once), or when the
// stored texts are protected: then the answer is checked by unwrapping their data key, which stays in memory. The
// answer, typed into a masked field, goes to gstrPassword. The exact password, case and all, returns true. Anything
// else, an empty answer or Cancel included, shows "Incorrect Password." and returns false: the caller ends the program
// at once as a failed start, without any further start-up work and without any window's closing handling.
bool AskStartupPassword(const StoredMasterPassword& masterPassword,
                        const std::optional<TextProtectionRow>& protection = std::nullopt);

// One tick of the re-lock timer, for the main window's timer handler. The timer is off for the whole
// tick and counts one minute off gdblMinutesLeft; while minutes are left it is simply turned on again.
// Then the password is asked for, up to three times. The right answer restarts the full period
// (gdblRelockMinutes) and turns the timer on again.
// The program closes, with the timer left off, on an empty answer, on the third wrong answer, and when
// the check file is missing or cannot be used (with a message naming the cause: a link, a folder, a FIFO, a file
// that is empty, too large, too short or damaged): unloadMainWindow runs the main window's own closing handling,
// and the program then ends even if that handling kept the window open or failed (its failure is reported first).
// Nothing touches the timer after unloadMainWindow, so the window may delete itself there. An answer that cannot be a
// key of a check file in the Blowfish form (too long) is a wrong one. When the stored texts are protected, their data
// key is dropped while the question is up, and the answers are checked by unwrapping it, not against the check
// file.
void RelockTick(QTimer& tmrMasterPassword, const std::function<void()>& unloadMainWindow);
