#include "system/app/PasswordCheckFile.h"

#include "domain/error/AppError.h"
#include "platform/app/Application.h"
#include "platform/app/RegularFile.h"
#include "system/app/basModule1.h"

#include <QDir>

QString PasswordCheckFilePath()
{
    return Application::fileInProgramFolder(QStringLiteral("Password.txt"));
}

PasswordCheck ReadPasswordCheckFile(const QString& path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const std::optional<QString> text = ReadTextFileUpTo(path, PasswordCheckFileMaxBytes);
    if (!text)
        throw AppError(ErrorNumber::FileAccess,
                       QStringLiteral("The password check file '%1' cannot be used: it is larger than any password "
                                      "check file (%2 bytes at most).")
                           .arg(shownPath)
                           .arg(PasswordCheckFileMaxBytes));
    try {
        return PasswordCheck::fromFileText(*text);
    } catch (const AppError& error) {
        throw AppError(
            ErrorNumber::FileAccess,
            QStringLiteral("The password check file '%1' cannot be used: %2").arg(shownPath, error.description()));
    }
}

void WritePasswordCheckFile(const QString& path, const QString& password)
{
    writeRegularFile(path, PasswordCheck::newFileText(password).toLatin1(), FileWrite::CreateOnly,
                     NewFileAccess::OwnerOnly);
}

void RewritePasswordCheckFile(const QString& path, const QString& password)
{
    replaceRegularFile(path, PasswordCheck::newFileText(password).toLatin1(), NewFileAccess::OwnerOnly);
}
