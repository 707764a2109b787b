#include "system/print/PrintText.h"

#include "domain/data/StatementText.h"
#include "platform/printer/Printer.h"

#include <algorithm>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// Wrapping near the bottom of the page: a value still to be wrapped this close to it is not printed on.
constexpr double PageBottomReserveTwips = 400;

// The lines of a value, each without any carriage return or line feed left in it.
QStringList valueLines(const QString& text)
{
    QStringList lines = SplitLines(text, LineBreak);
    for (QString& line : lines)
        line.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return lines;
}

} // namespace

PrintableArea GetPrintableArea(const Printing::Printer& printer)
{
    using Printing::Printer;
    const double acrossPixel = printer.twipsPerPixelX();
    const double downPixel = printer.twipsPerPixelY();
    const int offsetAcross = printer.getDeviceCaps(Printer::PHYSICALOFFSETX);
    const int offsetDown = printer.getDeviceCaps(Printer::PHYSICALOFFSETY);
    PrintableArea area;
    area.left = offsetAcross * acrossPixel;
    area.top = offsetDown * downPixel;
    area.right =
        (printer.getDeviceCaps(Printer::PHYSICALWIDTH) - printer.getDeviceCaps(Printer::HORZRES) - offsetAcross) *
        acrossPixel;
    area.bottom =
        (printer.getDeviceCaps(Printer::PHYSICALHEIGHT) - printer.getDeviceCaps(Printer::VERTRES) - offsetDown) *
        downPixel;
    area.height = printer.height() - area.top - area.bottom;
    area.width = printer.width() - area.left - area.right;
    return area;
}

bool HoldsLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QStringList SplitLines(const QString& text, const QString& delimiter)
{
    return text.split(delimiter);
}

QStringList WrapLine(const Printing::Printer& printer, const QString& line, double width)
{
    QStringList pieces;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        if (printer.textWidth(line.mid(start, i - start + 1)) <= width) {
            ++i;
            continue;
        }
        // Each cut moves the start on, and the character that overflowed is looked at again from there.
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '), i);
        if (space >= start) {
            pieces << line.mid(start, space - start + 1);
            start = space + 1;
        } else if (i > start) {
            pieces << line.mid(start, i - start);
            start = i;
        } else {
            pieces << line.mid(start, 1);
            start = ++i;
        }
    }
    pieces << line.mid(start);
    return pieces;
}

int WrappedLineCount(const Printing::Printer& printer, const QString& text, double width)
{
    if (!HoldsLineBreak(text) && printer.textWidth(text) <= width)
        return 1;
    int count = 0;
    for (const QString& line : valueLines(text)) {
        if (printer.textWidth(line) <= width) {
            ++count;
            continue;
        }
        const QStringList pieces = WrapLine(printer, line, width);
        count += static_cast<int>(pieces.size()) - (pieces.last().isEmpty() ? 1 : 0);
    }
    return std::max(count, 1);
}

void PrintWrapped(Printing::Printer& printer, const QString& text, double x, double y, double width,
                  double printableHeight, bool blankLine, PageEnd pageEnd)
{
    if (TrimBlanks(text).isEmpty())
        return;
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    if (!HoldsLineBreak(text) && printer.textWidth(text) <= width) {
        printer.print(text);
    } else {
        for (const QString& line : valueLines(text)) {
            printer.setCurrentX(x);
            if (printer.textWidth(line) <= width) {
                printer.print(line);
                continue;
            }
            const QStringList pieces = WrapLine(printer, line, width);
            for (qsizetype piece = 0; piece < pieces.size(); ++piece) {
                const bool broken = piece + 1 < pieces.size();
                if (broken && pageEnd == PageEnd::StopValue &&
                    printer.currentY() > printableHeight - PageBottomReserveTwips)
                    return; // not even the blank line
                if (pieces[piece].isEmpty())
                    continue;
                printer.setCurrentX(x);
                printer.print(pieces[piece]);
            }
        }
    }
    if (blankLine)
        printer.print();
}
