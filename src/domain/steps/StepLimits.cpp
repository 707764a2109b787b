#include "domain/steps/StepLimits.h"

#include "domain/data/NumberText.h"

#include <QLocale>

std::optional<QString> brokenCountRule(const StepType& type, const QString& count)
{
    if (!type.usesCount)
        return std::nullopt;
    const std::optional<double> value = CountValue(count);
    const bool isWait = type.action == StepAction::Wait;
    const double most = isWait ? MaxWaitSeconds : MaxPressesPerStep;
    if (!value || *value <= most)
        return std::nullopt;
    const QLocale english(QLocale::English);
    if (isWait)
        return QStringLiteral("a %1 step waits at most %2 seconds (24 hours)")
            .arg(type.name, english.toString(static_cast<int>(most)));
    return QStringLiteral("a %1 step presses its key at most %2 times")
        .arg(type.name, english.toString(static_cast<int>(most)));
}

QString unknownStepTypeWords(const QString& eventType)
{
    return QStringLiteral("of the event type \"%1\", which a launch does not know").arg(eventType);
}

bool isRelockPeriod(const QString& minutes)
{
    const std::optional<double> value = CountValue(minutes);
    return value && *value > 0 && *value <= MaxRelockMinutes;
}

QString relockPeriodRule()
{
    return QStringLiteral("a number of minutes greater than 0 and at most %1")
        .arg(QLocale(QLocale::English).toString(static_cast<qlonglong>(MaxRelockMinutes)));
}
