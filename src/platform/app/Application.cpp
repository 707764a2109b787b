#include "platform/app/Application.h"

#include <QCoreApplication>
#include <QDir>

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

int versionMajor()
{
    return QUILLOCK_VERSION_MAJOR;
}

int versionMinor()
{
    return QUILLOCK_VERSION_MINOR;
}

int versionRevision()
{
    return QUILLOCK_VERSION_PATCH;
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

} // namespace Application
