#pragma once

#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QStringList>
#include <memory>

// A main window loaded over a data file of its own, with scripted dialogs.
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

    // A one-column query on the data file, read outside the program.
    QStringList column(const QString& statement) const;
};
