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
    if (!value || (*value >= 0 && *value <= most))
        return std::nullopt;
    const QLocale english(QLocale::English);
    if (isWait)
        return QStringLiteral("a %1 step waits from 0 to %2 seconds (24 hours)")
            .arg(type.name, english.toString(static_cast<int>(most)));
    return QStringLiteral("a %1 step presses its key from 0 to %2 times")
        .arg(type.name, english.toString(static_cast<int>(most)));
}

bool isRelockPeriod(const QString& minutes)
{
    const std::optional<double> value = CountValue(minutes);
    return value && *value > 0 && *value <= MaxRelockMinutes;
}
