#include "app/MasterPassword.h"

#include "app/HandlerGuard.h"
#include "app/basModule1.h"
#include "crypto/basBlowfishByteFns.h"
#include "platform/app/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/error/AppError.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Answers at one re-lock before the program closes.
constexpr int MaxAnswers = 3;

const QString LineBreak = QStringLiteral("\r\n");

QString askForMasterPassword()
{
    return dialogs().inputBox(QStringLiteral("Enter Master Password: "), QString(), QString(), true);
}

void showIncorrectPassword()
{
    dialogs().msgBox(QStringLiteral("Incorrect Password."), Dialogs::vbOKOnly);
}

void explainCheckImpossible(const QString& reason)
{
    dialogs().msgBox(reason +
                         QStringLiteral("\n\nThe master password cannot be checked without it, so the program ends."),
                     Dialogs::vbOKOnly + Dialogs::vbCritical);
}

// Closing must not depend on the window agreeing to close (its close box may only switch to the
// launcher) nor on its closing handling succeeding: otherwise the program would stay open, unlocked,
// with the re-lock timer off.
void closeProgram(const std::function<void()>& unloadMainWindow)
{
    RunHandler(unloadMainWindow);
    dialogs().endProgram();
}

// The enciphered part of the check file: the whole file without the line break its writer added;
// std::nullopt for a file too large to be one. Raises AppError when the file cannot be read.
std::optional<QString> readCheckFile(const QString& path)
{
    std::optional<QString> text = ReadTextFileUpTo(path, PasswordCheckFileMaxBytes);
    if (text)
        text->chop(LineBreak.size());
    return text;
}

// The file deciphered with the answer as key must begin with the answer itself as its first line. A
// file that cannot be deciphered with this answer (too short, or an answer too long to be a key) does
// not open, whatever the answer.
bool answerOpensCheckFile(const QString& cipherText, const QString& answer)
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

// Asks until the right answer comes (true) or the program has to close (false): an empty answer, the
// last wrong answer, or a check file that is missing or cannot be read.
bool askUntilUnlocked(const QString& checkFile)
{
    if (!QFileInfo::exists(checkFile)) {
        explainCheckImpossible(QStringLiteral("The password check file '%1' is missing.").arg(checkFile));
        return false;
    }
    for (int attempts = 0;; ++attempts) {
        gstrPassword = askForMasterPassword();
        if (gstrPassword.isEmpty())
            return false;
        std::optional<QString> cipherText;
        try {
            cipherText = readCheckFile(checkFile);
        } catch (const AppError& error) {
            explainCheckImpossible(QStringLiteral("The password check file cannot be read.\n") + error.description());
            return false;
        }
        if (cipherText && answerOpensCheckFile(*cipherText, gstrPassword))
            return true;
        showIncorrectPassword();
        if (attempts >= MaxAnswers - 1)
            return false;
    }
}

} // namespace

QString PasswordCheckFilePath()
{
    return Application::fileInProgramFolder(QStringLiteral("Password.txt"));
}

bool AskStartupPassword(const QString& expectedMasterPassword)
{
    if (expectedMasterPassword.isEmpty())
        return true;
    gstrPassword = askForMasterPassword();
    if (gstrPassword == expectedMasterPassword)
        return true;
    showIncorrectPassword();
    return false;
}

void RelockTick(QTimer& tmrMasterPassword, const std::function<void()>& unloadMainWindow)
{
    tmrMasterPassword.stop();
    gdblMinutesLeft = gdblMinutesLeft - 1;
    if (gdblMinutesLeft > 0) {
        tmrMasterPassword.start();
        return;
    }
    if (!askUntilUnlocked(PasswordCheckFilePath())) {
        closeProgram(unloadMainWindow);
        return;
    }
    gdblMinutesLeft = gdblRelockMinutes;
    tmrMasterPassword.start();
}
