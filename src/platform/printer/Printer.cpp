#include "platform/printer/Printer.h"

#include "domain/error/AppError.h"
#include "platform/printer/PrintTarget.h"

#include <QPageLayout>
#include <QPrinter>

namespace Printing {

namespace {

constexpr double TwipsPerInch = 1440;

} // namespace

struct Printer::Settings
{
    QString fontName = QStringLiteral("Arial");
    double fontSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int orientation = vbPRORPortrait;
};

Printer::Settings& Printer::keptSettings()
{
    static Settings settings;
    return settings;
}

void Printer::restoreDefaultSettings()
{
    keptSettings() = Settings{};
}

Printer::Printer(const PrintTarget& target) : m_target(target), m_device(target.makeDevice())
{
    setOrientation(keptSettings().orientation);
    fontChanged();
}

Printer::~Printer()
{
    if (!m_begun)
        return;
    m_device->abort();
    m_painter.end();
}

// ---- font ----

QString Printer::fontName() const
{
    return keptSettings().fontName;
}

void Printer::setFontName(const QString& name)
{
    keptSettings().fontName = name;
    fontChanged();
}

double Printer::fontSize() const
{
    return keptSettings().fontSize;
}

void Printer::setFontSize(double points)
{
    keptSettings().fontSize = points;
    fontChanged();
}

bool Printer::fontBold() const
{
    return keptSettings().bold;
}

void Printer::setFontBold(bool on)
{
    keptSettings().bold = on;
    fontChanged();
}

bool Printer::fontItalic() const
{
    return keptSettings().italic;
}

void Printer::setFontItalic(bool on)
{
    keptSettings().italic = on;
    fontChanged();
}

bool Printer::fontUnderline() const
{
    return keptSettings().underline;
}

void Printer::setFontUnderline(bool on)
{
    keptSettings().underline = on;
    fontChanged();
}

void Printer::fontChanged()
{
    const Settings& settings = keptSettings();
    m_font = QFont(settings.fontName);
    m_font.setPointSizeF(settings.fontSize);
    m_font.setBold(settings.bold);
    m_font.setItalic(settings.italic);
    m_font.setUnderline(settings.underline);
    m_metrics.emplace(m_font, m_device.get());
    if (m_begun)
        m_painter.setFont(m_font);
}

// ---- page ----

int Printer::orientation() const
{
    return keptSettings().orientation;
}

void Printer::setOrientation(int orientation)
{
    keptSettings().orientation = orientation;
    m_device->setPageOrientation(orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int Printer::getDeviceCaps(int index) const
{
    const int dpi = m_device->resolution();
    const QPageLayout layout = m_device->pageLayout();
    const QRect sheet = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    switch (index) {
    case HORZRES:
        return printable.width();
    case VERTRES:
        return printable.height();
    case PHYSICALWIDTH:
        return sheet.width();
    case PHYSICALHEIGHT:
        return sheet.height();
    case PHYSICALOFFSETX:
        return printable.left() - sheet.left();
    case PHYSICALOFFSETY:
        return printable.top() - sheet.top();
    default:
        return 0;
    }
}

double Printer::twipsPerPixelX() const
{
    return TwipsPerInch / m_device->resolution();
}

double Printer::twipsPerPixelY() const
{
    return TwipsPerInch / m_device->resolution();
}

double Printer::width() const
{
    return getDeviceCaps(PHYSICALWIDTH) * twipsPerPixelX();
}

double Printer::height() const
{
    return getDeviceCaps(PHYSICALHEIGHT) * twipsPerPixelY();
}

// ---- text ----

double Printer::textWidth(const QString& text) const
{
    return m_metrics->horizontalAdvance(text) * twipsPerPixelX();
}

double Printer::textHeight() const
{
    return m_metrics->height() * twipsPerPixelY();
}

void Printer::print(const QString& text)
{
    placeLine();
    draw(text);
    m_x = 0;
    m_y += textHeight();
}

void Printer::printWithoutNewLine(const QString& text)
{
    placeLine();
    draw(text);
    m_x += textWidth(text);
}

// The line keeps its place across: a value wrapped in a column goes on in that column on the next page.
void Printer::placeLine()
{
    const double bottom = getDeviceCaps(VERTRES) * twipsPerPixelY();
    if (m_y > 0 && m_y + textHeight() > bottom) {
        const double x = m_x;
        newPage();
        m_x = x;
    }
}

void Printer::draw(const QString& text)
{
    if (!m_begun)
        beginDocument();
    if (text.isEmpty())
        return;
    m_painter.drawText(QPointF(m_x / twipsPerPixelX(), m_y / twipsPerPixelY() + m_metrics->ascent()), text);
}

void Printer::beginDocument()
{
    m_device->setDocName(QStringLiteral("Quillock"));
    if (!m_painter.begin(m_device.get()))
        throw AppError(ErrorNumber::PrinterError,
                       QStringLiteral("The printout could not be started on %1.").arg(m_target.name()));
    m_begun = true;
    m_painter.setFont(m_font);
    m_painter.setPen(Qt::black);
}

void Printer::newPage()
{
    if (!m_begun)
        beginDocument();
    if (!m_device->newPage())
        throw AppError(ErrorNumber::PrinterError,
                       QStringLiteral("A new page could not be started on %1.").arg(m_target.name()));
    ++m_page;
    m_x = 0;
    m_y = 0;
}

void Printer::endDoc()
{
    m_x = 0;
    m_y = 0;
    m_page = 1;
    if (!m_begun)
        return;
    m_begun = false;
    if (!m_painter.end())
        throw AppError(ErrorNumber::PrinterError,
                       QStringLiteral("The printout could not be finished on %1.").arg(m_target.name()));
    m_target.checkDelivered(*m_device);
}

} // namespace Printing
