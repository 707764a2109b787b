// Measures how long the main window's grid of 1,000 and of 10,000 websites takes to print into a PDF file:
// the column layout measured cell by cell twice, every row placed and drawn, the file written.
// Prints one line per figure: "<name> <seconds> s".

#include "domain/crypto/dsEncrypt.h"
#include "platform/grid/FlexGrid.h"
#include "platform/printer/Printer.h"
#include "support/PdfPrinters.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/print/Printout.h"
#include "system/print/basPrintGrid.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

void benchPrint(int websites, int runs)
{
    TempDataFolder folder;
    seedWebsites(folder.dataFilePath(), numberedWebsites(websites));
    gobjEncrypt = std::make_unique<dsEncrypt>();
    frmWebsite window;
    window.FillGrid();
    auto& grid = *window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    const QString pdf = folder.path() + QStringLiteral("/grid.pdf");
    PdfPrinters printers(pdf);
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        Printing::Printer::restoreDefaultSettings();
        QElapsedTimer timer;
        timer.start();
        Printout(QStringLiteral("Quillock!"),
                 [&](Printing::Printer& printer) { PrintListGrid(printer, grid, QStringLiteral("Quillock!")); });
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    if (QFileInfo(pdf).size() == 0)
        std::fprintf(stderr, "nothing was printed\n");
    std::printf("print_grid_%d %.3f s\n", websites, best);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    benchPrint(1000, 3);
    benchPrint(10000, 2);
    ReleaseSharedObjects();
    return 0;
}
