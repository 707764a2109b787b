#pragma once

class Field;
class QTimer;

// Carries out one instruction of a replay by the name of its event type, compared exactly: "Wait"
// pauses for NumberOfTimes seconds, "Text" types the deciphered TextToTypeIn character by character as
// itself, "Enter" presses Enter once, "Tab" and "Shift+Tab" press their key NumberOfTimes times (once
// when it is null). Any other event type does nothing. A count that is not a number does nothing; a
// fractional count is cut to the whole presses that fit.
void PlayInstruction(QTimer& tmrWait, const Field& eventType, const Field& numberOfTimes, const Field& textToTypeIn);
