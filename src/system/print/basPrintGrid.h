#pragma once

#include <QString>
#include <array>

class FlexGrid;
namespace Printing {
class Printer;
}

// A list grid printed as a table, in twips from the top left corner of the printable area: the header row bold
// and underlined, then every row, each cell at its column's position and cut to its column's width. Only the
// first 51 columns are measured and printed.

constexpr int PrintedColumns = 51;
using ColumnTwips = std::array<double, PrintedColumns>;

// What a list window's Print command prints: the orientation chosen from the grid's measured width (landscape
// above 11,440 twips), then the caption as a title and the grid, and the document ended. The grid's current cell
// and selection stay as they were.
void PrintListGrid(Printing::Printer& printer, const FlexGrid& grid, const QString& caption);

// Prints the header row and the data rows in size 8, a new page (header repeated) whenever a
// row would not fit, and ends the document. With the truncate flag each cell is cut to its column; without it,
// it is wrapped, and a value running past the bottom of a page goes on on the next. The blank-line flag adds an
// empty line after each cell.
void PrintGrid(Printing::Printer& printer, const FlexGrid& grid, bool truncate, bool blankLine);

// The title in bold italic underlined type of the size, at x, followed by two empty lines.
void PrintTitle(Printing::Printer& printer, const QString& title, double x, double size);

// Each column's position (from x) and width: its widest text in the printer's font, clamped to 200 to 6,000 and
// widened by half below 800, by a quarter below 1,500. Advances x by the sum of the widths.
void ComputeColumnLayout(Printing::Printer& printer, const FlexGrid& grid, ColumnTwips& positions, ColumnTwips& widths,
                         double& x);

// The height the row's widest-wrapped cell needs (one line more with the blank-line flag), for deciding where
// pages break; the current position is left as it is.
double MeasureRowHeight(const Printing::Printer& printer, const FlexGrid& grid, int row, const ColumnTwips& positions,
                        double printableWidth, bool blankLine);

// Prints one cell from (x, y): a text that fits on one line as it is; otherwise, with the truncate flag, the
// longest beginning of its first line that fits; without it, wrapped within the width.
void PrintCell(Printing::Printer& printer, const QString& text, bool truncate, double x, double y, double width,
               double printableHeight, bool blankLine);
