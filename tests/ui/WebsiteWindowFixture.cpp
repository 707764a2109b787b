#include "WebsiteWindowFixture.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QAction>
#include <QPushButton>

void WebsiteWindowFixture::click(const char* name) const
{
    if (auto* command = window->findChild<QAction*>(QString::fromLatin1(name)))
        command->trigger();
    else
        control<QPushButton>(name).click();
}

QStringList WebsiteWindowFixture::column(const QString& statement) const
{
    Connection connection;
    connection.setConnectionString(QStringLiteral("Data Source=") + folder.dataFilePath());
    connection.open();
    Recordset rows;
    rows.open(statement, connection);
    QStringList values;
    for (; !rows.eof(); rows.moveNext())
        values << rows.fields(0).text();
    connection.close();
    return values;
}
