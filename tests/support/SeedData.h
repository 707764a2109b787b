#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Websites written straight into a data file, enciphered as the program stores them.
struct WebsiteSeed
{
    QString name;
    QString link;
    QVariant listOrder; // null: never placed in the list
};

// Appends the websites to the data file in one transaction; keys follow the order given.
void seedWebsites(const QString& dataFilePath, const QList<WebsiteSeed>& websites);
// count websites named "Website 1", "Website 2", ... with links https://example.test/1, ...
QList<WebsiteSeed> numberedWebsites(int count);
