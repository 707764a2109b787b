#include "system/launch/LaunchChecks.h"

#include "domain/steps/StepLimits.h"
#include "platform/db/Recordset.h"

namespace {

const QString NothingTyped = QStringLiteral(" Nothing was typed.");

QString stepProblem(int step, const QString& eventType, const QString& count)
{
    const StepType* type = findStepType(eventType);
    if (!type)
        return QStringLiteral("Step %1 is of the event type \"%2\", which a launch does not know.")
            .arg(step)
            .arg(eventType);
    if (const std::optional<QString> broken = brokenCountRule(*type, count))
        return QStringLiteral("Step %1 has the number %2, but %3.").arg(step).arg(count.trimmed(), *broken);
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
        problem = stepProblem(++step, instructions.fields(QStringLiteral("EventType")).text(),
                              instructions.fields(QStringLiteral("NumberOfTimes")).text());
    if (problem.isEmpty() && storedSteps > MaxStepsPerWebsite)
        problem = QStringLiteral("This website has %1 steps, but a launch replays at most %2.")
                      .arg(storedSteps)
                      .arg(MaxStepsPerWebsite);
    else if (problem.isEmpty() && storedSteps > step)
        problem = QStringLiteral("A step of this website is of an event type that no longer exists.");
    if (step > 0)
        instructions.moveFirst();
    return problem.isEmpty() ? problem : problem + NothingTyped;
}
