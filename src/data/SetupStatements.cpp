#include "data/SetupStatements.h"

#include "data/NumberText.h"

namespace {

QString sizeStatement(const QString& heightColumn, double height, const QString& widthColumn, double width)
{
    return QStringLiteral("UPDATE Setup SET ") + heightColumn + QStringLiteral(" = ") + NumberToText(height) +
           QStringLiteral(", ") + QStringLiteral(" ") + widthColumn + QStringLiteral(" = ") + NumberToText(width) +
           QStringLiteral(" ") + QStringLiteral("WHERE SetupID = 1");
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
