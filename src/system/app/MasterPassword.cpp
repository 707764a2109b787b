#include "system/app/MasterPassword.h"

#include "domain/crypto/StoredMasterPassword.h"
#include "domain/error/AppError.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/HandlerGuard.h"
#include "system/app/PasswordCheckFile.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchControl.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// Answers at one re-lock before the program closes.
constexpr int MaxAnswers = 3;

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

// What an answer is checked against: the data key of protected stored texts, or the check file. Raises AppError
// when neither can be read.
std::function<bool(const QString&)> relockCheck()
{
    if (storedTextForm() != StoredTextForm::FieldCipher) {
        lockStoredTexts();
        UnitOfWork work;
        const std::optional<TextProtectionRow> protection = ReadTextProtection(work);
        if (!protection)
            throw AppError(ErrorNumber::InvalidArgument,
                           QStringLiteral("The data file's protection was removed by another program."));
        return [row = *protection](const QString& answer) { return UnlockStoredTexts(row, answer); };
    }
    const QString checkFile = PasswordCheckFilePath();
    if (!QFileInfo::exists(checkFile))
        throw AppError(ErrorNumber::FileNotFound,
                       QStringLiteral("The password check file '%1' is missing.").arg(checkFile));
    return [checkFile](const QString& answer) { return ReadPasswordCheckFile(checkFile).opensWith(answer); };
}

// Asks until the right answer comes (true) or the program has to close (false): an empty answer, the
// last wrong answer, or a check file that is missing or cannot be used (unreadable, too large, empty, damaged).
bool askUntilUnlocked()
{
    std::function<bool(const QString&)> opens;
    try {
        opens = relockCheck();
    } catch (const AppError& error) {
        explainCheckImpossible(error.description());
        return false;
    }
    for (int attempts = 0;; ++attempts) {
        gstrPassword = askForMasterPassword();
        if (gstrPassword.isEmpty())
            return false;
        try {
            if (opens(gstrPassword))
                return true;
        } catch (const AppError& error) {
            explainCheckImpossible(error.description());
            return false;
        }
        showIncorrectPassword();
        if (attempts >= MaxAnswers - 1)
            return false;
    }
}

} // namespace

bool AskStartupPassword(const StoredMasterPassword& masterPassword, const std::optional<TextProtectionRow>& protection)
{
    if (!masterPassword.isSet() && !protection)
        return true;
    gstrPassword = askForMasterPassword();
    if (protection ? UnlockStoredTexts(*protection, gstrPassword) : masterPassword.opensWith(gstrPassword))
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
    stopLaunch(); // nothing is typed behind the password prompt, nor after it
    if (!askUntilUnlocked()) {
        closeProgram(unloadMainWindow);
        return;
    }
    gdblMinutesLeft = gdblRelockMinutes;
    tmrMasterPassword.start();
}
