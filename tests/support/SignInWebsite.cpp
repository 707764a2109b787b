#include "support/SignInWebsite.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"

namespace SignInWebsite {

QStringList steps()
{
    enum EventTypeKey // of a new data file
    {
        Text = 1,
        Enter = 2,
        Tab = 3,
        Wait = 4
    };
    dsEncrypt cipher;
    const auto step = [&cipher](int id, EventTypeKey type, const QString& count, const QString& text) {
        return QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, EventTypeID, "
                              "NumberOfTimes, TextToTypeIn) VALUES (%1, 1, %2, %3, %4)")
            .arg(id)
            .arg(type)
            .arg(count, text.isEmpty() ? QStringLiteral("Null") : QuotedValue(cipher.Encrypt2(text)));
    };
    return {step(1, Wait, "3", {}), step(2, Text, "Null", UserName), step(3, Tab, "1", {}),
            step(4, Text, "Null", Password), step(5, Enter, "Null", {})};
}

} // namespace SignInWebsite
