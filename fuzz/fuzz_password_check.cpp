// The password check file's recognition on any file: the input is the file's bytes, read as Latin-1 as the program
// reads the file. Properties: recognition either gives a form or raises AppError; a file that ends with a carriage
// return and line feed, as every file of the Blowfish form does, is never taken for the derived-key form; a file of
// the Blowfish form opens with no answer longer than its key can be, and answers without raising.
#include "FuzzCheck.h"

#include "domain/crypto/PasswordCheck.h"
#include "domain/error/AppError.h"

#include <cstdint>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString fileText =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    std::optional<PasswordCheck> check;
    try {
        check = PasswordCheck::fromFileText(fileText);
    } catch (const AppError&) {
        return 0;
    }
    if (fileText.endsWith(QStringLiteral("\r\n")))
        fuzzCheck(check->form() == PasswordCheck::Form::Blowfish, "a file of the Blowfish form stays one");
    // A derived-key file may state millions of iterations: only the Blowfish form is answered here.
    if (check->form() == PasswordCheck::Form::Blowfish) {
        check->opensWith(QStringLiteral("C0FFEE12"));
        fuzzCheck(!check->opensWith(QString(113, QLatin1Char('A'))), "an answer too long for a key opens nothing");
    }
    return 0;
}
