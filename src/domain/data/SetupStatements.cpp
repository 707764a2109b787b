#include "domain/data/SetupStatements.h"

#include "domain/data/NumberText.h"

namespace {

QString sizeStatement(const QString& heightColumn, double heightTwips, const QString& widthColumn, double widthTwips)
{
    return QStringLiteral("UPDATE Setup SET ") + heightColumn + QStringLiteral(" = ") + NumberToText(heightTwips) +
           QStringLiteral(", ") + QStringLiteral(" ") + widthColumn + QStringLiteral(" = ") + NumberToText(widthTwips) +
           QStringLiteral(" ") + QStringLiteral("WHERE SetupID = 1");
}

QString sizeValue(const std::optional<double>& twips)
{
    return twips ? NumberToText(*twips) : QStringLiteral("Null");
}

} // namespace

QString SettingsQuery()
{
    return QStringLiteral("SELECT Top 500 a.SetupID, a.MasterPassword, a.NumMinutesBeforeRequiringPasswordAgain, "
                          "a.DefaultToLauncher,  ") +
           QStringLiteral("a.LauncherHeight, a.LauncherWidth, a.FormHeight, a.FormWidth ") +
           QStringLiteral("FROM Setup a ") + QStringLiteral("WHERE SetupID = 1");
}

QString FormSizeStatement(double heightTwips, double widthTwips)
{
    return sizeStatement(QStringLiteral("FormHeight"), heightTwips, QStringLiteral("FormWidth"), widthTwips);
}

QString LauncherSizeStatement(double heightTwips, double widthTwips)
{
    return sizeStatement(QStringLiteral("LauncherHeight"), heightTwips, QStringLiteral("LauncherWidth"), widthTwips);
}

QString UpdateSetupStatement(const QString& masterPasswordValue, const std::optional<QString>& minutesValue,
                             bool defaultToLauncher, const SavedSizes& sizes)
{
    const QString next = QStringLiteral(", ") + QStringLiteral(" ");
    const QString minutes =
        minutesValue ? QStringLiteral("NumMinutesBeforeRequiringPasswordAgain = ") + *minutesValue + next : QString();
    return QStringLiteral("UPDATE Setup SET ") + QStringLiteral("MasterPassword = ") + masterPasswordValue + next +
           minutes + QStringLiteral("DefaultToLauncher = ") +
           (defaultToLauncher ? QStringLiteral("1") : QStringLiteral("0")) + next +
           QStringLiteral("LauncherHeight = ") + sizeValue(sizes.launcherHeightTwips) + next +
           QStringLiteral("LauncherWidth = ") + sizeValue(sizes.launcherWidthTwips) + next +
           QStringLiteral("FormHeight = ") + sizeValue(sizes.formHeightTwips) + next + QStringLiteral("FormWidth = ") +
           sizeValue(sizes.formWidthTwips) + QStringLiteral(" ") + QStringLiteral("WHERE SetupID = 1");
}
