#include "system/launch/LaunchChecks.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/steps/OneTimeCode.h"
#include "domain/steps/StepLimits.h"
#include "platform/db/Recordset.h"
#include "platform/keys/SendKeys.h"
#include "system/app/StoredTexts.h"
#include "system/app/basModule1.h"

#include <QScopeGuard>

namespace {

const QString NothingTyped = QStringLiteral(" Nothing was typed.");

// The website's name, as far as it can be read.
QString websiteName(Recordset& instructions)
{
    return RevealStoredText(WebsiteNamePlace(instructions.fields(QStringLiteral("WebsiteID")).text()),
                            instructions.fields(QStringLiteral("WebsiteName")).text())
        .value_or(QStringLiteral("(cannot be read)"));
}

// The step's text deciphered into `text`, or why it cannot be: another program stored a character the cipher
// lacks, or a protected file's text fails its check. An empty text is read as empty.
QString unreadableText(int step, Recordset& instructions, QString& text)
{
    const Field enciphered = instructions.fields(QStringLiteral("TextToTypeIn"));
    if (enciphered.text().isEmpty() || !gobjEncrypt)
        return {};
    if (const QString foreign = gobjEncrypt->foreignCharacter(enciphered.text()); !foreign.isEmpty())
        return QStringLiteral("The text of step %1 cannot be read: it holds the character %2, which Quillock never "
                              "stores; another program wrote it.")
            .arg(step)
            .arg(foreign);
    std::optional<QString> deciphered = RevealStoredText(
        StepTextPlace(instructions.fields(QStringLiteral("WebsiteInstructionsID")).text()), enciphered.text());
    if (!deciphered)
        return QStringLiteral("The text of step %1 of the website \"%2\" cannot be read: %3.")
            .arg(step)
            .arg(websiteName(instructions), FailedCheckReason);
    text = std::move(*deciphered);
    return {};
}

// Some desktops type only the characters of the user's keyboard layout and drop the others without a word: a
// password missing one would be sent wrong.
QString textProblem(int step, Recordset& instructions)
{
    QString text;
    const auto wipe = qScopeGuard([&text] { text.fill(QChar(0)); });
    if (QString problem = unreadableText(step, instructions, text); !problem.isEmpty())
        return problem;
    const QString untypable = firstUntypableCharacter(text);
    if (untypable.isEmpty())
        return {};
    return QStringLiteral("Step %1 types the character \"%2\", which the keyboard layout of this desktop cannot type.")
        .arg(step)
        .arg(untypable);
}

// A one-time code step needs a secret that gives codes; only their digits are typed.
QString oneTimeCodeProblem(int step, Recordset& instructions)
{
    QString secret;
    const auto wipe = qScopeGuard([&secret] { secret.fill(QChar(0)); });
    if (QString problem = unreadableText(step, instructions, secret); !problem.isEmpty())
        return problem;
    if (secret.isEmpty())
        return QStringLiteral("Step %1 is a one-time code without its secret.").arg(step);
    const auto parsed = OneTimeCode::fromText(secret);
    if (const QString* problem = std::get_if<QString>(&parsed))
        return QStringLiteral("The one-time code secret of step %1 %2").arg(step).arg(*problem);
    return {};
}

QString stepProblem(int step, Recordset& instructions)
{
    if (instructions.fields(QStringLiteral("EventTypeID")).isNull())
        return QStringLiteral("The event type of step %1 was deleted: give the step another event type in the "
                              "website's steps, or delete it.")
            .arg(step);
    const QString eventType = instructions.fields(QStringLiteral("EventType")).text();
    const QString count = instructions.fields(QStringLiteral("NumberOfTimes")).text();
    const StepType* type = findStepType(eventType);
    if (!type)
        return QStringLiteral("Step %1 is %2.").arg(step).arg(unknownStepTypeWords(eventType));
    if (const std::optional<QString> broken = brokenCountRule(*type, count))
        return QStringLiteral("Step %1 has the number %2, but %3.").arg(step).arg(count.trimmed(), *broken);
    if (type->action == StepAction::TypeText)
        return textProblem(step, instructions);
    if (type->action == StepAction::TypeOneTimeCode)
        return oneTimeCodeProblem(step, instructions);
    return {};
}

} // namespace

QString launchProblem(const QString& link, Recordset& instructions, int storedSteps)
{
    if (link.trimmed().isEmpty())
        return QStringLiteral("This website has no link.");
    QString problem;
    int step = 0;
    if (instructions.recordCount() > 0)
        instructions.moveFirst();
    for (; !instructions.eof() && problem.isEmpty(); instructions.moveNext())
        problem = stepProblem(++step, instructions);
    if (problem.isEmpty() && storedSteps > MaxStepsPerWebsite)
        problem = QStringLiteral("This website has %1 steps, but a launch replays at most %2.")
                      .arg(storedSteps)
                      .arg(MaxStepsPerWebsite);
    if (step > 0)
        instructions.moveFirst();
    return problem.isEmpty() ? problem : problem + NothingTyped;
}
