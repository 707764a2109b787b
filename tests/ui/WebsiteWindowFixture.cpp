#include "WebsiteWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

void WebsiteWindowFixture::click(const char* name) const
{
    if (auto* command = window->findChild<QAction*>(QString::fromLatin1(name)))
        command->trigger();
    else
        control<QPushButton>(name).click();
}

void WebsiteWindowFixture::answerNextWindow(const std::function<void(QDialog&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            answer(*window);
    });
}
