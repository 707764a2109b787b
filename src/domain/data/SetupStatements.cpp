#include "domain/data/SetupStatements.h"

#include "domain/data/NumberText.h"

namespace {

QString sizeStatement(const QString& heightColumn, double height, const QString& widthColumn, double width)
{
    return QStringLiteral("UPDATE Setup SET ") + heightColumn + QStringLiteral(" = ") + NumberToText(height) +
           QStringLiteral(", ") + QStringLiteral(" ") + widthColumn + QStringLiteral(" = ") + NumberToText(width) +
           QStringLiteral(" ") + QStringLiteral("WHERE SetupID = 1");
}

QString sizeValue(const std::optional<double>& size)
{
    return size ? NumberToText(*size) : QStringLiteral("Null");
}

} // namespace

QString SettingsQuery()
{
    return QStringLiteral("SELECT Top 500 a.SetupID, a.MasterPassword, a.NumMinutesBeforeRequiringPasswordAgain, "
                          "a.DefaultToLauncher,  ") +
           QStringLiteral("a.LauncherHeight, a.LauncherWidth, a.FormHeight, a.FormWidth ") +
           QStringLiteral("FROM Setup a ") + QStringLiteral("WHERE SetupID = 1");
}

QString FormSizeStatement(double height, double width)
{
    return sizeStatement(QStringLiteral("FormHeight"), height, QStringLiteral("FormWidth"), width);
}

QString LauncherSizeStatement(double height, double width)
{
    return sizeStatement(QStringLiteral("LauncherHeight"), height, QStringLiteral("LauncherWidth"), width);
}

QString UpdateSetupStatement(const QString& masterPasswordValue, const QString& minutesValue, bool defaultToLauncher,
                             const SavedSizes& sizes)
{
    const QString next = QStringLiteral(", ") + QStringLiteral(" ");
    return QStringLiteral("UPDATE Setup SET ") + QStringLiteral("MasterPassword = ") + masterPasswordValue + next +
           QStringLiteral("NumMinutesBeforeRequiringPasswordAgain = ") + minutesValue + next +
           QStringLiteral("DefaultToLauncher = ") + (defaultToLauncher ? QStringLiteral("1") : QStringLiteral("0")) +
           next + QStringLiteral("LauncherHeight = ") + sizeValue(sizes.launcherHeight) + next +
           QStringLiteral("LauncherWidth = ") + sizeValue(sizes.launcherWidth) + next +
           QStringLiteral("FormHeight = ") + sizeValue(sizes.formHeight) + next + QStringLiteral("FormWidth = ") +
           sizeValue(sizes.formWidth) + QStringLiteral(" ") + QStringLiteral("WHERE SetupID = 1");
}
