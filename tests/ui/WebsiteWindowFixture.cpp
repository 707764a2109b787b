#include "WebsiteWindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
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

QString announcedGridName(QWidget& window)
{
    window.activateWindow();
    auto* grid = window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    if (!QTest::qWaitForWindowActive(&window) || !grid)
        return {};
    grid->setFocus();
    QWidget* focused = QApplication::focusWidget();
    QAccessibleInterface* announced =
        focused && grid->isAncestorOf(focused) ? QAccessible::queryAccessibleInterface(focused) : nullptr;
    return announced && announced->role() == QAccessible::Table ? announced->text(QAccessible::Name) : QString();
}
