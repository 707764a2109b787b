#pragma once

class Field;
class QTimer;

// Carries out one instruction of a replay as its step type says (domain/steps/StepTypes.h), the type found by
// its exact name: a wait pauses for NumberOfTimes seconds, a text is typed character by character as itself,
// a key is pressed once, or NumberOfTimes times (once when it is null) for a type that uses a count. An
// instruction of no known type does nothing. A count that is not a number does nothing; a fractional count
// is cut to the whole presses that fit. Keys go through sendLaunchKeys, so a stopped launch raises LaunchStopped
// (system/launch/LaunchControl.h) before its next key.
void PlayInstruction(QTimer& tmrWait, const Field& eventType, const Field& numberOfTimes, const Field& textToTypeIn);
