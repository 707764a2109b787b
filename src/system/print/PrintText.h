#pragma once

#include <QString>
#include <QStringList>

namespace Printing {
class Printer;
}

// Text on the printed page: the printable area, and values wrapped within a width. Twips throughout, positions
// from the top left corner of the printable area.

// The margins the printer cannot print on, and the size of the part it can.
struct PrintableArea
{
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    double height = 0;
    double width = 0;
};

PrintableArea GetPrintableArea(const Printing::Printer& printer);

// Whether the text holds a carriage return or a line feed.
bool HoldsLineBreak(const QString& text);

// The pieces of the text between the delimiters, in order: n delimiters give n + 1 pieces.
QStringList SplitLines(const QString& text, const QString& delimiter);

// One line wrapped greedily within the width: each piece ends at the last space that keeps it within the width,
// the space kept at its end. A piece without a space is cut before the character that made it too wide (a
// character wider than the width alone makes a piece). All but the last piece are broken ones; the last is the
// rest of the line and may be empty.
QStringList WrapLine(const Printing::Printer& printer, const QString& line, double width);

// The number of printed lines the text takes within the width: one per line break plus the wrapping, at least one.
int WrappedLineCount(const Printing::Printer& printer, const QString& text, double width);

// What PrintWrapped does when a value still has to be wrapped within 400 twips of the bottom of the printable
// area: stops printing the value (a record printout keeps to its page), or goes on, the printer carrying the
// lines on to a new page (a grid printout loses nothing).
enum class PageEnd
{
    StopValue,
    NextPage
};

// Prints the text from (x, y) within the width: a value that fits and holds no line break as one line, otherwise
// line by line, each wrapped by WrapLine and printed from x. A blank value prints nothing at all; otherwise the
// blank-line flag adds an empty line after it.
void PrintWrapped(Printing::Printer& printer, const QString& text, double x, double y, double width,
                  double printableHeight, bool blankLine, PageEnd pageEnd = PageEnd::StopValue);
