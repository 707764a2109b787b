#include "support/SeedData.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/db/Connection.h"

namespace {

QString enciphered(dsEncrypt& cipher, const QString& text)
{
    return text.isEmpty() ? QStringLiteral("Null")
                          : QLatin1Char('\'') + FixQuotes(cipher.Encrypt2(text)) + QLatin1Char('\'');
}

} // namespace

void seedWebsites(const QString& dataFilePath, const QList<WebsiteSeed>& websites)
{
    dsEncrypt cipher;
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=") + dataFilePath);
    connection.open();
    connection.execute(QStringLiteral("BEGIN"));
    for (const WebsiteSeed& website : websites) {
        const QString order = website.listOrder.isNull() ? QStringLiteral("Null") : website.listOrder.toString();
        connection.execute(QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink, WebsiteListOrder) "
                                          "VALUES (%1, %2, %3)")
                               .arg(enciphered(cipher, website.name), enciphered(cipher, website.link), order));
    }
    connection.execute(QStringLiteral("COMMIT"));
    connection.close();
}

QList<WebsiteSeed> numberedWebsites(int count)
{
    QList<WebsiteSeed> websites;
    websites.reserve(count);
    for (int i = 1; i <= count; ++i)
        websites.append({QStringLiteral("Website %1").arg(i), QStringLiteral("https://example.test/%1").arg(i), i});
    return websites;
}
