#include "WebsiteWindowFixture.h"

#include <QAction>
#include <QPushButton>

void WebsiteWindowFixture::click(const char* name) const
{
    if (auto* command = window->findChild<QAction*>(QString::fromLatin1(name)))
        command->trigger();
    else
        control<QPushButton>(name).click();
}
