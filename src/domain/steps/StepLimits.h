#pragma once

#include "domain/steps/StepTypes.h"

#include <QString>
#include <optional>

// What a website's steps may hold, so that a launch always ends in reasonable time and replays every stored step.
// The step editor refuses what a launch would refuse.

// The most steps a website has: the list and the replay read this many.
constexpr int MaxStepsPerWebsite = 500;
// The most presses of a key one step makes.
constexpr double MaxPressesPerStep = 1000;
// The longest wait of one step: a day.
constexpr double MaxWaitSeconds = 24 * 60 * 60;
// The longest pause a website makes between two keys.
constexpr int MaxKeyPauseMilliseconds = 1000;
// A one-time code is typed only while at least this much of its period is left, so that it does not expire between
// typing and sending; nearer the end the replay waits for the next code.
constexpr int OneTimeCodeLeastMillisecondsLeft = 3000;
// The longest re-lock period: the idle count takes a minute off a double at each tick, which stays exact up to
// 2^53 minutes; from a larger count, taking 1 off may change nothing, and the password would never be asked.
constexpr double MaxRelockMinutes = 9007199254740992.0;

// The rule a step's count breaks, as a sentence's end ("a Tab step presses its key at most 1,000 times"), or
// nothing when the count keeps within it. A count is read as a replay reads it (CountValue): below 1 it presses
// no key and makes no pause, as 0 does. A count that is no number at all, or of a type that uses none, breaks no
// rule here: the replay passes over it.
std::optional<QString> brokenCountRule(const StepType& type, const QString& count);

// Why a launch refuses a step of an event type it does not know, as a sentence's middle: "of the event type
// \"Escape\", which a launch does not know".
QString unknownStepTypeWords(const QString& eventType);

// Whether the text is a re-lock period: a number greater than 0 and at most MaxRelockMinutes, read as a step's
// count is read.
bool isRelockPeriod(const QString& minutes);
// What a re-lock period must be, as a sentence's end: "a number of minutes greater than 0 and at most ...".
QString relockPeriodRule();
