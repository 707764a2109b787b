#pragma once

#include <QtGlobal>

class Field;
class QTimer;

// Where the key sender checks the browser's window at the keys themselves (X11, under one grab of the display for
// a run), a text is typed in runs of this many characters, each sent at once, and Escape is looked for between runs;
// elsewhere a character at a time, each checked just before.
constexpr qsizetype CharactersPerSend = 32;

// Carries out one instruction of a replay as its step type says (domain/steps/StepTypes.h), the type found by
// its exact name: a wait pauses for NumberOfTimes seconds, a text is typed as itself (see CharactersPerSend),
// a key is pressed once, or NumberOfTimes times (once when it is null) for a type that uses a count. An
// instruction of no known type does nothing. A count that is not a number does nothing; a fractional count
// is cut to the whole presses that fit. Keys go through sendLaunchKeys, so a stopped launch raises LaunchStopped
// (system/launch/LaunchControl.h) before its next key.
// The text is deciphered for the step's key, and wiped once it is typed. A one-time code step types the code of the
// moment (ReplayClock.h), after waiting for the next one when less than OneTimeCodeLeastMillisecondsLeft of its
// period is left. Every key but the launch's first waits the website's pause before it (the window stays responsive
// and a stop ends the pause).
struct KeyPace
{
    int pauseMilliseconds = 0;
    bool keySent = false;
};
void PlayInstruction(QTimer& tmrWait, const Field& eventType, const Field& numberOfTimes, const Field& textToTypeIn,
                     const QString& instructionId, KeyPace& pace);
