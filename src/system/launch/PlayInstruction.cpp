#include "system/launch/PlayInstruction.h"

#include "domain/data/NumberText.h"
#include "domain/error/AppError.h"
#include "domain/steps/OneTimeCode.h"
#include "domain/steps/StepLimits.h"
#include "domain/steps/StepTypes.h"
#include "platform/db/Recordset.h"
#include "platform/keys/SendKeys.h"
#include "system/app/StoredTexts.h"
#include "system/launch/LaunchControl.h"
#include "system/launch/ReplayClock.h"
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

// Sends one key string, after the website's pause when a key went before it.
void sendPaced(QTimer& tmrWait, const QString& keyString, KeyPace& pace)
{
    if (pace.pauseMilliseconds > 0 && pace.keySent)
        WaitMilliseconds(tmrWait, pace.pauseMilliseconds); // a stop during the pause raises at the key
    sendLaunchKeys(keyString);
    pace.keySent = true;
}

// The window stays responsive between presses, so that a long run can be stopped.
void pressRepeatedly(QTimer& tmrWait, const QString& keys, const Field& count, KeyPace& pace)
{
    const int presses = pressCount(count);
    for (int i = 1; i <= presses; ++i) {
        sendPaced(tmrWait, keys, pace);
        QCoreApplication::processEvents();
    }
}

void waitSeconds(QTimer& tmrWait, const Field& seconds)
{
    if (const std::optional<double> value = CountValue(seconds.text()))
        WaitMilliseconds(tmrWait, *value * 1000);
}

// Each character as itself, reserved ones braced; in runs where the window is checked at the keys themselves,
// one by one where it is checked before each key or the website paces its keys.
void typeCharacters(QTimer& tmrWait, const QString& text, KeyPace& pace)
{
    const qsizetype run = keysAreCheckedAtTheWindow() && pace.pauseMilliseconds == 0 ? CharactersPerSend : 1;
    if (run == 1)
        expectKeys(literalKeyString(text));
    for (qsizetype start = 0; start < text.size(); start += run) {
        sendPaced(tmrWait, literalKeyString(QStringView(text).mid(start, run)), pace);
        QCoreApplication::processEvents(); // a long text can be stopped too
    }
}

// The step's text deciphered; the launch's checks read every text before the first key, so one that fails its
// check now changed since.
QString stepText(const Field& enciphered, const QString& instructionId)
{
    return RevealStoredTextOrRaise(StepTextPlace(instructionId), enciphered.text(),
                                   QStringLiteral("The text of a step"));
}

void typeText(QTimer& tmrWait, const Field& enciphered, const QString& instructionId, KeyPace& pace)
{
    if (enciphered.text().isEmpty())
        return; // an empty text is stored as null: nothing to type
    QString text = stepText(enciphered, instructionId);
    const auto wipe = qScopeGuard([&text] { text.fill(QChar(0)); });
    typeCharacters(tmrWait, text, pace);
}

// The code of the moment it is typed; near the end of its period the replay waits for the next one, so that the
// code does not expire before the page sends it.
void typeOneTimeCode(QTimer& tmrWait, const Field& enciphered, const QString& instructionId, KeyPace& pace)
{
    QString secret = stepText(enciphered, instructionId);
    const auto parsed = OneTimeCode::fromText(secret);
    secret.fill(QChar(0));
    if (const QString* problem = std::get_if<QString>(&parsed))
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The one-time code secret ") + *problem);
    const OneTimeCode& code = std::get<OneTimeCode>(parsed);
    const qint64 left = code.millisecondsLeftAt(replayClockMilliseconds());
    if (left < OneTimeCodeLeastMillisecondsLeft)
        WaitMilliseconds(tmrWait, static_cast<double>(left)); // a stop meanwhile raises at the first key
    typeCharacters(tmrWait, code.codeAt(replayClockMilliseconds() / 1000), pace);
}

} // namespace

void PlayInstruction(QTimer& tmrWait, const Field& eventType, const Field& numberOfTimes, const Field& textToTypeIn,
                     const QString& instructionId, KeyPace& pace)
{
    const StepType* type = findStepType(eventType.text());
    if (!type)
        return;
    switch (type->action) {
    case StepAction::Wait:
        waitSeconds(tmrWait, numberOfTimes);
        break;
    case StepAction::TypeText:
        typeText(tmrWait, textToTypeIn, instructionId, pace);
        break;
    case StepAction::TypeOneTimeCode:
        typeOneTimeCode(tmrWait, textToTypeIn, instructionId, pace);
        break;
    case StepAction::PressKeys:
        if (type->usesCount)
            pressRepeatedly(tmrWait, type->keys, numberOfTimes, pace);
        else
            sendPaced(tmrWait, type->keys, pace);
        break;
    }
}
