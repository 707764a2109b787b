#pragma once

#include "BestSeconds.h"
#include "ui/main/frmWebsite.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdio>

// The best of a few fills of the window's grid from its data file, the view taking in the new rows each time; a grid
// that does not hold every website is reported.
inline double fillGridSeconds(frmWebsite& window, int websites, int runs)
{
    const double seconds = bestSeconds(runs, [&] {
        window.FillGrid();
        QCoreApplication::processEvents();
    });
    if (window.GridRows() != websites + 1)
        std::fprintf(stderr, "the grid holds %d rows, not %d\n", window.GridRows() - 1, websites);
    return seconds;
}

// The best of a few main windows on the data file, each from its construction to its first exposure.
inline double showMainWindowSeconds(int runs)
{
    return bestSeconds(runs, [] {
        frmWebsite window;
        if (!window.Form_Load())
            std::fprintf(stderr, "the window did not load\n");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the window was not shown\n");
    });
}
