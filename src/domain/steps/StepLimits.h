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
// The longest re-lock period: a day.
constexpr double MaxRelockMinutes = 24 * 60;

// The rule a step's count breaks, as a sentence's end ("a Tab step presses its key from 0 to 1,000 times"), or
// nothing when the count keeps within it. A count is read as a replay reads it (CountValue); a count that is no
// number at all, or of a type that uses none, breaks no rule here: the replay passes over it.
std::optional<QString> brokenCountRule(const StepType& type, const QString& count);

// Whether the text is a re-lock period: a number greater than 0 and at most MaxRelockMinutes, read as a step's
// count is read.
bool isRelockPeriod(const QString& minutes);
