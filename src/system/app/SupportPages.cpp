#include "system/app/SupportPages.h"

#include "platform/app/Application.h"

#include <QUrl>

namespace SupportPages {

QString makerHomePage()
{
    return QStringLiteral("https://quillock.example/");
}

QString contactPage()
{
    return QStringLiteral("https://quillock.example/mail.html?sc=app");
}

QString helpPageFileName()
{
    return QStringLiteral("quillock-help.html");
}

QString helpPageLink()
{
    return QUrl::fromLocalFile(Application::fileInProgramFolder(helpPageFileName())).toString();
}

} // namespace SupportPages
