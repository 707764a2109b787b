#pragma once

#include <QLatin1String>
#include <QStringView>
#include <array>

// The kinds of step a website's login is made of, each defined once: the name a data file stores it under
// (EventType.EventType), its key in a new data file, what a replay does for it and how the step editor treats
// its boxes when it is chosen. Names are compared exactly, case and blanks included: "wait" or "Tab " is no
// known type.

// What a replay does for a step of the type.
enum class StepAction
{
    Wait,            // pauses for the step's count of seconds
    TypeText,        // types the step's deciphered text, character by character, each as itself
    PressKeys,       // sends the type's key string: once, or once per count when the type uses a count
    TypeOneTimeCode, // types the current code of the one-time code secret that the step's text holds (OneTimeCode.h)
};

// What choosing the type in the step editor does to a box.
enum class BoxUse
{
    Enabled,            // enabled, its text kept
    DisabledAndEmptied, // disabled and emptied, for the type has no use for it
    LeftAsItIs,         // neither enabled nor disabled, its text kept
};

struct StepType
{
    QLatin1String name; // as stored, compared exactly
    int seedKey;        // its EventTypeID in a new data file
    bool usesCount;     // NumberOfTimes: seconds for a wait, presses for a key; ignored otherwise
    bool usesText;      // TextToTypeIn; ignored otherwise
    StepAction action;
    QLatin1String keys; // the key string of PressKeys; empty for the other actions
    BoxUse numberBox;
    BoxUse textBox;
    QLatin1String numberCaption; // the number box's caption; empty: the caption stays as it is
};

inline constexpr StepType TextStep{.name = QLatin1String("Text"),
                                   .seedKey = 1,
                                   .usesCount = false,
                                   .usesText = true,
                                   .action = StepAction::TypeText,
                                   .keys = QLatin1String(),
                                   .numberBox = BoxUse::DisabledAndEmptied,
                                   .textBox = BoxUse::Enabled,
                                   .numberCaption = QLatin1String()};
inline constexpr StepType EnterStep{.name = QLatin1String("Enter"),
                                    .seedKey = 2,
                                    .usesCount = false,
                                    .usesText = false,
                                    .action = StepAction::PressKeys,
                                    .keys = QLatin1String("\r"),
                                    .numberBox = BoxUse::DisabledAndEmptied,
                                    .textBox = BoxUse::DisabledAndEmptied,
                                    .numberCaption = QLatin1String("Number of Times")};
inline constexpr StepType TabStep{.name = QLatin1String("Tab"),
                                  .seedKey = 3,
                                  .usesCount = true,
                                  .usesText = false,
                                  .action = StepAction::PressKeys,
                                  .keys = QLatin1String("\t"),
                                  .numberBox = BoxUse::Enabled,
                                  .textBox = BoxUse::DisabledAndEmptied,
                                  .numberCaption = QLatin1String("Number of Times")};
inline constexpr StepType WaitStep{.name = QLatin1String("Wait"),
                                   .seedKey = 4,
                                   .usesCount = true,
                                   .usesText = false,
                                   .action = StepAction::Wait,
                                   .keys = QLatin1String(),
                                   .numberBox = BoxUse::Enabled,
                                   .textBox = BoxUse::DisabledAndEmptied,
                                   .numberCaption = QLatin1String("Number of Seconds")};
// Its count is read as Tab's is, but choosing it in the editor leaves the boxes and the caption as they are.
inline constexpr StepType ShiftTabStep{.name = QLatin1String("Shift+Tab"),
                                       .seedKey = 5,
                                       .usesCount = true,
                                       .usesText = false,
                                       .action = StepAction::PressKeys,
                                       .keys = QLatin1String("+{\t}"),
                                       .numberBox = BoxUse::LeftAsItIs,
                                       .textBox = BoxUse::LeftAsItIs,
                                       .numberCaption = QLatin1String()};

// Its text is the secret of a site's second factor; a replay types the code of the moment.
inline constexpr StepType OneTimeCodeStep{.name = QLatin1String("One-Time Code"),
                                          .seedKey = 6,
                                          .usesCount = false,
                                          .usesText = true,
                                          .action = StepAction::TypeOneTimeCode,
                                          .keys = QLatin1String(),
                                          .numberBox = BoxUse::DisabledAndEmptied,
                                          .textBox = BoxUse::Enabled,
                                          .numberCaption = QLatin1String()};

// Every step type, in the order of their keys in a new data file.
inline constexpr std::array<StepType, 6> StepTypes{TextStep, EnterStep,    TabStep,
                                                   WaitStep, ShiftTabStep, OneTimeCodeStep};

// The step type stored under the name, or null when the name is of no known type.
const StepType* findStepType(QStringView storedName);

inline bool isKnownStepType(QStringView storedName)
{
    return findStepType(storedName) != nullptr;
}
