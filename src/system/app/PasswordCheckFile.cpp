#include "system/app/PasswordCheckFile.h"

#include "domain/crypto/basBlowfishByteFns.h"
#include "domain/error/AppError.h"
#include "platform/app/Application.h"
#include "system/app/basModule1.h"

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

QString PasswordCheckFilePath()
{
    return Application::fileInProgramFolder(QStringLiteral("Password.txt"));
}

std::optional<QString> ReadPasswordCheckFile(const QString& path)
{
    std::optional<QString> text = ReadTextFileUpTo(path, PasswordCheckFileMaxBytes);
    if (text)
        text->chop(LineBreak.size());
    return text;
}

bool AnswerOpensCheckFile(const QString& cipherText, const QString& answer)
{
    QString plain;
    try {
        plain = basBlowfishByteFns::DecryptText(cipherText, answer);
    } catch (const AppError&) {
        return false;
    }
    const qsizetype lineEnd = plain.indexOf(LineBreak);
    return lineEnd >= 0 && plain.first(lineEnd) == answer;
}

bool CheckFileOpensWith(const QString& path, const QString& answer)
{
    try {
        const std::optional<QString> cipherText = ReadPasswordCheckFile(path);
        return cipherText && AnswerOpensCheckFile(*cipherText, answer);
    } catch (const AppError&) {
        return false;
    }
}

void WritePasswordCheckFile(const QString& path, const QString& password)
{
    // Enciphered first: a password that cannot be a key leaves no file behind. Only a new file is written,
    // so a check file that appeared since the caller looked is never replaced.
    WriteTextFile(basBlowfishByteFns::EncryptText(password + LineBreak, password), path, FileWrite::CreateOnly);
}
