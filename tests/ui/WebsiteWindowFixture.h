#pragma once

#include "platform/grid/FlexGrid.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>

// A main window loaded over a data file of its own, with scripted dialogs. Its controls are found by their
// names, as a person finds them by their captions.
struct WebsiteWindowFixture
{
    TempDataFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmWebsite> window;

    explicit WebsiteWindowFixture(const QList<WebsiteSeed>& websites, const QStringList& setupAssignments = {})
    {
        seedWebsites(folder.dataFilePath(), websites);
        if (!setupAssignments.isEmpty())
            folder.execute({QStringLiteral("UPDATE Setup SET %1 WHERE SetupID = 1").arg(setupAssignments.join(", "))});
        window = std::make_unique<frmWebsite>();
    }

    // Loads and shows the window, as the program does at start.
    bool load()
    {
        if (!window->Form_Load())
            return false;
        window->show();
        return true;
    }

    template <class Control>
    Control& control(const char* name) const
    {
        auto* found = window->findChild<Control*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("the window has no control ") + name);
        return *found;
    }
    // Clicks a button, or triggers a menu command, by name.
    void click(const char* name) const
    {
        if (auto* command = window->findChild<QAction*>(QString::fromLatin1(name)))
            command->trigger();
        else
            control<QPushButton>(name).click();
    }
    // Runs the answer on the next modal window once it shows (an editor opened by a command).
    static void answerNextWindow(const std::function<void(QDialog&)>& answer)
    {
        QTimer::singleShot(0, [answer] {
            if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                answer(*window);
        });
    }

    // A one-column query on the data file, read outside the program.
    QStringList column(const QString& query) const { return folder.column(query); }
};

// An input of a window found as a person finds it, by its label: the input's accessible name.
template <class Control>
Control& field(const QWidget& window, const char* accessibleName)
{
    for (Control* found : window.findChildren<Control*>()) {
        if (found->accessibleName() == QLatin1String(accessibleName))
            return *found;
    }
    throw std::runtime_error(std::string("no field named ") + accessibleName);
}

// The name a screen reader says for a list window's grid: that of the table inside it that takes the focus, when it
// is one; empty otherwise.
inline QString announcedGridName(QWidget& window)
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

// The texts of a grid's column below its heading row.
inline QStringList columnTexts(const FlexGrid& grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.rows(); ++row)
        texts << grid.textMatrix(row, col);
    return texts;
}
