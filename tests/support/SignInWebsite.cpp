#include "support/SignInWebsite.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"

namespace SignInWebsite {

QStringList website(const QString& link)
{
    dsEncrypt cipher;
    const auto text = [&cipher](const QString& plain) { return QuotedValue(cipher.Encrypt2(plain)); };
    // The event types of a new data file: 1 Text, 2 Enter, 3 Tab, 4 Wait.
    return {QStringLiteral("INSERT INTO Website (WebsiteID, WebsiteName, WebsiteLink, WebsiteListOrder) "
                           "VALUES (1, %1, %2, 1)")
                .arg(text(QStringLiteral("Test site")), text(link)),
            QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) "
                           "VALUES (1, 4, 3, Null), (1, 1, Null, %1), (1, 3, 1, Null), (1, 1, Null, %2), "
                           "(1, 2, Null, Null)")
                .arg(text(UserName), text(Password))};
}

QStringList websiteWithOneTimeCode(const QString& link, int keyPauseMilliseconds)
{
    // 6 is the one-time code of a new data file
    return website(link) << QStringLiteral("UPDATE Website SET KeyPauseMilliseconds = %1").arg(keyPauseMilliseconds)
                         << QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                           "TextToTypeIn) VALUES (1, 4, 3, Null), (1, 6, Null, %1), (1, 2, Null, Null)")
                                .arg(QuotedValue(dsEncrypt().Encrypt2(OneTimeCodeSecret)));
}

} // namespace SignInWebsite
