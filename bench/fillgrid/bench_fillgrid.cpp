// Measures how long the main window takes to fill its grid from data files of 1,000, 10,000 and 100,000
// websites, how long it takes from construction to a shown window with 1,000 websites, and how long Save List
// Order takes on 5,000 websites.
// Prints one line per figure: "<name> <seconds> s".

#include "../MainWindowRuns.h"
#include "domain/crypto/dsEncrypt.h"
#include "platform/grid/FlexGrid.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QPushButton>
#include <cstdio>

namespace {

void benchFill(int websites)
{
    TempDataFolder folder;
    seedWebsites(folder.dataFilePath(), numberedWebsites(websites));
    gobjEncrypt = std::make_unique<dsEncrypt>();
    frmWebsite window;
    const double seconds = fillGridSeconds(window, websites, websites >= 100000 ? 1 : 3);
    std::printf("fillgrid_%d %.3f s\n", websites, seconds);
}

void benchStartup(int websites)
{
    TempDataFolder folder;
    seedWebsites(folder.dataFilePath(), numberedWebsites(websites));
    const double seconds = showMainWindowSeconds(3);
    std::printf("startup_%d %.3f s\n", websites, seconds);
}

// Saves the order of every website, as the Save List Order button does; each run writes every row.
void benchSaveListOrder(int websites)
{
    TempDataFolder folder;
    seedWebsites(folder.dataFilePath(), numberedWebsites(websites));
    frmWebsite window;
    if (!window.Form_Load())
        std::fprintf(stderr, "the window did not load\n");
    auto* save = window.findChild<QPushButton*>(QStringLiteral("cmdSaveListOrder"));
    const double seconds = bestSeconds(3, [&] { save->click(); });
    std::printf("save_list_order_%d %.3f s\n", websites, seconds);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    for (int websites : {1000, 10000, 100000})
        benchFill(websites);
    benchStartup(1000);
    benchSaveListOrder(5000);
    return 0;
}
