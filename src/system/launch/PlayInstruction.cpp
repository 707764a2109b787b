#include "system/launch/PlayInstruction.h"

#include "domain/data/NumberText.h"
#include "domain/error/AppError.h"
#include "domain/steps/StepTypes.h"
#include "platform/db/Recordset.h"
#include "platform/keys/SendKeys.h"
#include "system/app/StoredTexts.h"
#include "system/launch/LaunchControl.h"
#include "system/launch/WaitMilliseconds.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// How often a key is pressed for a count: once for null, the whole steps from 1 to the count otherwise.
int pressCount(const Field& count)
{
    if (count.isNull())
        return 1;
    const std::optional<double> value = CountValue(count.text());
    if (!value || *value < 1)
        return 0;
    return static_cast<int>(std::min(std::floor(*value), double{std::numeric_limits<int>::max()}));
}

// The window stays responsive between presses, so that a long run can be stopped.
void pressRepeatedly(const QString& keys, const Field& count)
{
    const int presses = pressCount(count);
    for (int i = 1; i <= presses; ++i) {
        sendLaunchKeys(keys);
        QCoreApplication::processEvents();
    }
}

void waitSeconds(QTimer& tmrWait, const Field& seconds)
{
    if (const std::optional<double> value = CountValue(seconds.text()))
        WaitMilliseconds(tmrWait, *value * 1000);
}

// Each character as itself, reserved ones braced.
void typeText(const Field& enciphered, const QString& instructionId)
{
    if (enciphered.text().isEmpty())
        return; // an empty text is stored as null: nothing to type
    // the launch's checks read every text before the first key; this one changed since
    std::optional<QString> deciphered = RevealStoredText(StepTextPlace(instructionId), enciphered.text());
    if (!deciphered)
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The text of a step cannot be read: %1.").arg(FailedCheckReason));
    QString text = std::move(*deciphered);
    const auto wipe = qScopeGuard([&text] { text.fill(QChar(0)); });
    const qsizetype run = keysAreCheckedAtTheWindow() ? CharactersPerSend : 1;
    if (run == 1)
        expectKeys(literalKeyString(text));
    for (qsizetype start = 0; start < text.size(); start += run) {
        sendLaunchKeys(literalKeyString(QStringView(text).mid(start, run)));
        QCoreApplication::processEvents(); // a long text can be stopped too
    }
}

} // namespace

void PlayInstruction(QTimer& tmrWait, const Field& eventType, const Field& numberOfTimes, const Field& textToTypeIn,
                     const QString& instructionId)
{
    const StepType* type = findStepType(eventType.text());
    if (!type)
        return;
    switch (type->action) {
    case StepAction::Wait:
        waitSeconds(tmrWait, numberOfTimes);
        break;
    case StepAction::TypeText:
        typeText(textToTypeIn, instructionId);
        break;
    case StepAction::PressKeys:
        if (type->usesCount)
            pressRepeatedly(type->keys, numberOfTimes);
        else
            sendLaunchKeys(type->keys);
        break;
    }
}
