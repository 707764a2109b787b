#include "system/print/basPrintGrid.h"

#include "domain/data/StatementText.h"
#include "platform/grid/FlexGrid.h"
#include "platform/printer/Printer.h"
#include "platform/screen/Screen.h"
#include "system/print/PrintText.h"

#include <algorithm>

using Printing::Printer;

namespace {

// Measured widths, in twips: the clamps, the widening of narrow columns, and the least the last column gets.
constexpr double WidestColumnTwips = 6000;
constexpr double NarrowestColumnTwips = 200;
constexpr double NarrowColumnTwips = 800;
constexpr double MediumColumnTwips = 1500;
constexpr double LeastLastColumnTwips = 3000;
// Wider than this, a grid is printed across a landscape page.
constexpr double PortraitWidthTwips = 11440;

const QString LineBreak = QStringLiteral("\r\n");

int printedColumns(const FlexGrid& grid)
{
    return std::min(grid.cols(), PrintedColumns);
}

// Three line breaks in a row print as two.
QString collapsedBreaks(const QString& text)
{
    return ReplaceText(text, LineBreak + LineBreak + LineBreak, LineBreak + LineBreak);
}

// The width a cell may take: up to the next column, and the rest of the page for the last column.
double cellWidth(const ColumnTwips& positions, int col, int columns, double printableWidth)
{
    if (col + 1 < columns)
        return positions[col + 1] - positions[col];
    return std::max(printableWidth - positions[col], LeastLastColumnTwips);
}

void printHeaderRow(Printer& printer, const FlexGrid& grid, const ColumnTwips& positions)
{
    printer.setFontSize(8);
    printer.setFontBold(true);
    printer.setFontUnderline(true);
    for (int col = 0; col < printedColumns(grid); ++col) {
        printer.setCurrentX(positions[col]);
        printer.printWithoutNewLine(grid.textMatrix(0, col));
    }
    printer.setFontBold(false);
    printer.setFontUnderline(false);
    printer.print();
}

// The rows below go on under the header row again.
void headerAfterBreak(Printer& printer, const FlexGrid& grid, const ColumnTwips& positions)
{
    printer.print();
    printer.print();
    printHeaderRow(printer, grid, positions);
    printer.print();
}

// The longest beginning of the text's first line that fits the width.
QString fittingBeginning(const Printer& printer, const QString& text, double width)
{
    const auto end = std::find_if(text.begin(), text.end(),
                                  [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); });
    const QString line = text.left(end - text.begin());
    qsizetype fits = 0;
    qsizetype tooLong = line.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (printer.textWidth(line.left(middle)) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    return line.left(fits);
}

} // namespace

void PrintListGrid(Printer& printer, const FlexGrid& grid, const QString& caption)
{
    ColumnTwips positions{};
    ColumnTwips widths{};
    double x = 0;
    ComputeColumnLayout(printer, grid, positions, widths, x);
    printer.setOrientation(x > PortraitWidthTwips ? Printer::vbPRORLandscape : Printer::vbPRORPortrait);
    printer.setFontName(QStringLiteral("Times New Roman"));
    PrintTitle(printer, caption, 0, 12);
    PrintGrid(printer, grid, true, false);
}

void PrintTitle(Printer& printer, const QString& title, double x, double size)
{
    printer.setFontSize(size);
    printer.setFontBold(true);
    printer.setFontUnderline(true);
    printer.setFontItalic(true);
    printer.setCurrentX(x);
    printer.print(title);
    printer.print();
    printer.print();
    printer.setFontItalic(false);
    printer.setFontBold(false);
    printer.setFontUnderline(false);
}

// The cells are read where they stand: the grid's current cell and selection are the user's, and the commands
// that act on the current row (Launch, Delete) must find it where the user left it.
void ComputeColumnLayout(Printer& printer, const FlexGrid& grid, ColumnTwips& positions, ColumnTwips& widths, double& x)
{
    for (int col = 0; col < printedColumns(grid); ++col) {
        double width = 0;
        for (int row = 0; row < grid.rows(); ++row)
            width = std::max(width, printer.textWidth(grid.textMatrix(row, col)));
        width = std::clamp(width, NarrowestColumnTwips, WidestColumnTwips);
        if (width < NarrowColumnTwips)
            width *= 1.5;
        else if (width < MediumColumnTwips)
            width *= 1.25;
        positions[col] = x;
        widths[col] = width;
        x += width;
    }
}

double MeasureRowHeight(const Printer& printer, const FlexGrid& grid, int row, const ColumnTwips& positions,
                        double printableWidth, bool blankLine)
{
    const int columns = printedColumns(grid);
    int lines = 1;
    for (int col = 0; col < columns; ++col)
        lines = std::max(lines, WrappedLineCount(printer, collapsedBreaks(grid.textMatrix(row, col)),
                                                 cellWidth(positions, col, columns, printableWidth)));
    return (lines + (blankLine ? 1 : 0)) * printer.textHeight();
}

void PrintCell(Printer& printer, const QString& text, bool truncate, double x, double y, double width,
               double printableHeight, bool blankLine)
{
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    const QString shown = collapsedBreaks(text);
    if (!HoldsLineBreak(shown) && printer.textWidth(shown) <= width) {
        printer.print(shown);
        if (blankLine)
            printer.print();
    } else if (truncate) {
        printer.print(fittingBeginning(printer, shown, width));
    } else {
        PrintWrapped(printer, shown, x, y, width, printableHeight, blankLine, PageEnd::NextPage);
    }
}

void PrintGrid(Printer& printer, const FlexGrid& grid, bool truncate, bool blankLine)
{
    Screen::setMousePointer(Screen::vbHourglass);
    printer.setFontSize(8);
    ColumnTwips positions{};
    ColumnTwips widths{};
    double x = 0;
    ComputeColumnLayout(printer, grid, positions, widths, x);
    const PrintableArea area = GetPrintableArea(printer);
    const double lineHeight = printer.textHeight();
    const int columns = printedColumns(grid);
    printHeaderRow(printer, grid, positions);
    for (int row = 1; row < grid.rows(); ++row) {
        const double height = MeasureRowHeight(printer, grid, row, positions, area.width, blankLine);
        if (height > area.height - printer.currentY() - lineHeight) {
            printer.newPage();
            headerAfterBreak(printer, grid, positions);
        }
        const int firstPage = printer.page();
        double rowTop = printer.currentY();
        double lowest = 0;
        for (int col = 0; col < columns; ++col) {
            const int page = printer.page();
            PrintCell(printer, grid.textMatrix(row, col), truncate, positions[col], rowTop,
                      cellWidth(positions, col, columns, area.width), area.height, blankLine);
            // A value that ran on to a new page: the rest of the row goes on below its end there.
            if (printer.page() != page)
                rowTop = lowest = printer.currentY();
            lowest = std::max(lowest, printer.currentY());
            printer.setCurrentY(col + 1 < columns ? rowTop : lowest);
        }
        if (printer.page() != firstPage)
            headerAfterBreak(printer, grid, positions);
    }
    printer.endDoc();
    Screen::setMousePointer(Screen::vbDefault);
}
