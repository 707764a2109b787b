#include "platform/app/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <sys/resource.h>

namespace {

QString& overriddenPath()
{
    static QString folder;
    return folder;
}

} // namespace

namespace Application {

QString title()
{
    return QStringLiteral("Quillock");
}

QString desktopEntryId()
{
    return QStringLiteral("example.quillock.Quillock");
}

QString utilityDesktopEntryId()
{
    return QStringLiteral("example.quillock.QuillockUtility");
}

QString version()
{
    return QStringLiteral(QUILLOCK_VERSION);
}

QString path()
{
    if (!overriddenPath().isEmpty())
        return overriddenPath();
    return QCoreApplication::applicationDirPath();
}

void setPath(const QString& folder)
{
    overriddenPath() = folder;
}

QString fileInProgramFolder(const QString& fileName)
{
    return QDir::toNativeSeparators(QDir(path()).filePath(fileName));
}

void turnOffCoreDumps()
{
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
}

} // namespace Application
