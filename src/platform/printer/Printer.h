#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

class QPrinter;

namespace Printing {

class PrintTarget;

// The printer object: a page drawn in twips from the top left corner of its printable area, with a current
// position, a font, and lines printed one below the other.
//
// The document starts with the first thing printed and goes to the target at endDoc; a printer destroyed
// before endDoc abandons its document. A line that would end below the printable area goes on a new page, at the
// same place across, so nothing is ever drawn off a page. The font and the orientation carry over to the next printer
// object, as the one printer of the system keeps them from printout to printout.
class Printer
{
public:
    static constexpr int vbPRORPortrait = 1;
    static constexpr int vbPRORLandscape = 2;
    // The device capabilities getDeviceCaps answers, in device pixels.
    static constexpr int HORZRES = 8;
    static constexpr int VERTRES = 10;
    static constexpr int PHYSICALWIDTH = 110;
    static constexpr int PHYSICALHEIGHT = 111;
    static constexpr int PHYSICALOFFSETX = 112;
    static constexpr int PHYSICALOFFSETY = 113;

    explicit Printer(const PrintTarget& target);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Forgets the font and orientation the last printouts left, as when the program starts: Arial 10, portrait.
    static void restoreDefaultSettings();

    double currentX() const { return m_x; }
    void setCurrentX(double twips) { m_x = twips; }
    double currentY() const { return m_y; }
    void setCurrentY(double twips) { m_y = twips; }

    QString fontName() const;
    void setFontName(const QString& name);
    double fontSize() const;
    void setFontSize(double points);
    bool fontBold() const;
    void setFontBold(bool on);
    bool fontItalic() const;
    void setFontItalic(bool on);
    bool fontUnderline() const;
    void setFontUnderline(bool on);

    int orientation() const;
    // Takes effect on the next page begun.
    void setOrientation(int orientation);

    // The printed width of the text in the current font, and the height of one printed line, in twips.
    double textWidth(const QString& text) const;
    double textHeight() const;

    // Prints the text at the current position and moves to the start of the next line.
    void print(const QString& text = {});
    // Prints the text at the current position and moves the current x to its end.
    void printWithoutNewLine(const QString& text);
    // Ends the page; the current position goes to the top left of the next one.
    void newPage();
    // Ends the document and hands it to the target; throws AppError with the reason when it is not taken.
    void endDoc();
    // The number of the page being printed, from 1.
    int page() const { return m_page; }

    int getDeviceCaps(int index) const;
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;
    // The whole sheet, in twips, as the orientation has it.
    double width() const;
    double height() const;

private:
    struct Settings;
    static Settings& keptSettings();

    void fontChanged();
    void beginDocument();
    // Starts a new page first when a line at the current y would end below the printable area.
    void placeLine();
    void draw(const QString& text);

    const PrintTarget& m_target;
    std::unique_ptr<QPrinter> m_device;
    QPainter m_painter;
    QFont m_font;
    std::optional<QFontMetricsF> m_metrics;
    double m_x = 0;
    double m_y = 0;
    int m_page = 1;
    bool m_begun = false;
};

} // namespace Printing
