#include "system/print/PrintForm.h"

#include "platform/printer/Printer.h"
#include "platform/screen/AccessKey.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/print/PrintText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

using Printing::Printer;

namespace {

// Where the heading goes, the gap between a label and its field, the right margin kept free for wrapped values.
constexpr double HeadingLeftTwips = 700;
constexpr double HeadingTopTwips = 600;
constexpr double LabelGapTwips = 200;
constexpr double WrapRightMarginTwips = 800;

// The caption, followed by a colon, placed so that the caption ends LabelGapTwips left of x.
void printCaption(Printer& printer, const QString& caption, double x, double y)
{
    printer.setCurrentX(x - LabelGapTwips - printer.textWidth(caption));
    printer.setCurrentY(y);
    printer.printWithoutNewLine(caption + QLatin1Char(':'));
}

// The field's label is the label named after it: lblName for txtName.
void printLabel(Printer& printer, const QWidget& form, const QWidget& field, double x, double y)
{
    const QString labelName = QStringLiteral("lbl") + field.objectName().mid(3);
    if (const auto* label = form.findChild<const QLabel*>(labelName))
        printCaption(printer, withoutAccessKey(label->text()), x, y);
}

class FormImage
{
public:
    FormImage(Printer& printer, const QWidget& form, double top)
        : m_printer(printer), m_form(form), m_area(GetPrintableArea(printer)), m_top(top),
          m_across(m_area.width / FormSize::widthTwips(form)),
          m_down((m_area.height - top) / FormSize::heightTwips(form))
    {}

    void print()
    {
        for (const QWidget* control : m_form.findChildren<const QWidget*>()) {
            if (const auto* box = qobject_cast<const QLineEdit*>(control))
                printTextBox(*box);
            else if (const auto* combo = qobject_cast<const QComboBox*>(control))
                printComboBox(*combo);
            else if (const auto* check = qobject_cast<const QCheckBox*>(control))
                printCheckBox(*check);
        }
    }

private:
    QPointF placeOf(const QWidget& control) const { return control.mapTo(&m_form, QPointF(0, 0)) * Twips::PerPixel; }
    double xOf(const QWidget& control) const { return placeOf(control).x() * m_across; }
    double yOf(const QWidget& control) const { return m_top + placeOf(control).y() * m_down; }

    // Where the control's row is printed. A value wrapped over more lines than its row has room for pushes every
    // lower row down below its last line, so that nothing is printed over it; once a value has gone on to another
    // page, the rows below follow one another there, and a row pushed below the foot of a page starts the next
    // one. Rows are told apart by their place on the window.
    double printedY(const QWidget& control)
    {
        const double designed = yOf(control);
        if (designed > m_lastY) {
            const bool pageGoneOn = m_printer.page() > 1;
            if (pageGoneOn || designed + m_pushedDown < m_lowestPrinted)
                m_pushedDown = m_lowestPrinted - designed;
            if (designed + m_pushedDown + m_printer.textHeight() > m_area.height) {
                m_printer.newPage();
                m_notedPage = m_printer.page();
                m_lowestPrinted = 0;
                m_pushedDown = -designed;
            }
        }
        m_lastY = designed;
        return designed + m_pushedDown;
    }

    // One line of text at y, or as far as the printing went, on the page the printer is at.
    void notePrintedDownTo(double y)
    {
        if (m_printer.page() != m_notedPage) {
            m_notedPage = m_printer.page();
            m_lowestPrinted = m_printer.currentY();
            return;
        }
        m_lowestPrinted = std::max({m_lowestPrinted, y, m_printer.currentY()});
    }

    void printTextBox(const QLineEdit& box)
    {
        m_lastFieldX = xOf(box);
        const double y = printedY(box);
        printLabel(m_printer, m_form, box, m_lastFieldX, y);
        PrintWrapped(m_printer, box.text(), m_lastFieldX, y, m_area.width - m_lastFieldX - WrapRightMarginTwips,
                     m_area.height, false, PageEnd::NextPage);
        notePrintedDownTo(y + m_printer.textHeight());
    }

    void printComboBox(const QComboBox& combo)
    {
        m_lastFieldX = xOf(combo);
        const double y = printedY(combo);
        m_printer.setCurrentX(m_lastFieldX);
        m_printer.setCurrentY(y);
        m_printer.printWithoutNewLine(combo.currentText());
        printLabel(m_printer, m_form, combo, m_lastFieldX, y);
        notePrintedDownTo(y + m_printer.textHeight());
    }

    // A check box lower down than the control before it takes the place of its own right end; one on the same line
    // lines up with the last field.
    void printCheckBox(const QCheckBox& check)
    {
        const bool lower = yOf(check) > m_lastY;
        const double y = printedY(check);
        const double x =
            lower ? (placeOf(check).x() + Twips::fromPixels(check.width()) - LabelGapTwips) * m_across : m_lastFieldX;
        notePrintedDownTo(y + m_printer.textHeight());
        if (check.checkState() != Qt::Unchecked) {
            m_printer.setCurrentX(x);
            m_printer.setCurrentY(y);
            m_printer.printWithoutNewLine(QStringLiteral("X"));
        }
        printCaption(m_printer, withoutAccessKey(check.text()), x, y);
    }

    Printer& m_printer;
    const QWidget& m_form;
    PrintableArea m_area;
    double m_top;
    double m_across;
    double m_down;
    double m_lastFieldX = 0;
    double m_lastY = 0;         // the last control's place on the window, scaled to the page
    double m_pushedDown = 0;    // how far wrapped values above have pushed the rows down
    double m_lowestPrinted = 0; // the bottom of what has been printed on the page m_notedPage
    int m_notedPage = 1;
};

} // namespace

void PrintRecordForm(Printer& printer, const QWidget& form)
{
    printer.setCurrentY(HeadingTopTwips);
    printer.setCurrentX(HeadingLeftTwips);
    printer.setFontSize(14);
    printer.setFontUnderline(true);
    printer.setFontItalic(true);
    printer.print(QStringLiteral("Company"));
    printer.setFontSize(9);
    printer.setFontUnderline(false);
    printer.setFontItalic(false);
    printer.print();
    printer.print();
    printer.print();
    FormImage(printer, form, printer.currentY()).print();
    printer.print();
    printer.endDoc();
    Screen::setMousePointer(Screen::vbDefault);
}
