// Printouts drawn into PDF files through the code that prints on a printer, and read back with pdftotext: grid
// columns and pages, editor windows, and what happens without a printer.

#include "../ui/WebsiteWindowFixture.h"
#include "platform/printer/Printer.h"
#include "print/PrintForm.h"
#include "print/PrintText.h"
#include "print/Printout.h"
#include "print/basPrintGrid.h"
#include "support/PdfPages.h"
#include "support/PdfPrinters.h"
#include "ui/maintenance/frmEventType.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Printing::Printer;

namespace {

constexpr double Margin = 360; // the PDF pages' margins, in twips
constexpr double Slack = 4;    // what rounding to device pixels and PDF points may move a position

// A printer on a PDF file that is never written, in the font given, to measure texts with.
struct Ruler
{
    std::unique_ptr<Printing::PrintTarget> target = Printing::pdfFileTarget(QStringLiteral("unused.pdf"));
    Printer printer{*target};
    Ruler(const QString& font, double size)
    {
        printer.setFontName(font);
        printer.setFontSize(size);
    }
    ~Ruler() { Printer::restoreDefaultSettings(); }
    // A word of x's as close to the width as whole letters come.
    QString wordOf(double width) const
    {
        QString word;
        while (width > 0 && printer.textWidth(word + QLatin1Char('x')) <= width)
            word += QLatin1Char('x');
        return word;
    }
    double width(const QString& text) const { return printer.textWidth(text); }
};

// A grid of the texts, one list per column, the first text of each its header.
void fill(FlexGrid& grid, const QList<QStringList>& columns)
{
    grid.setCols(static_cast<int>(columns.size()));
    grid.setRows(static_cast<int>(columns.value(0).size()));
    for (int col = 0; col < columns.size(); ++col)
        for (int row = 0; row < columns[col].size(); ++row)
            grid.setTextMatrix(row, col, columns[col][row]);
}

QList<PdfPage> printGrid(FlexGrid& grid, const QString& pdf, bool truncate = true)
{
    PdfPrinters printers(pdf);
    Printout(QStringLiteral("List"), [&](Printer& printer) {
        if (truncate)
            return PrintListGrid(printer, grid, QStringLiteral("List"));
        printer.setFontName(QStringLiteral("Times New Roman"));
        PrintGrid(printer, grid, false, false);
    });
    return readPdfPages(pdf);
}

} // namespace

class TestPrintouts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString pdf() const { return m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".pdf"); }

private slots:
    void init() { Printer::restoreDefaultSettings(); }

    // Columns of texts measuring about the widths given (0: an empty column, headed h<n> when the text is not
    // empty or from column 49 on): each column's printed width, a constant or a factor of its measured width, and the
    // page it needs.
    void columns_data()
    {
        QTest::addColumn<QList<double>>("targets");
        QTest::addColumn<QList<double>>("expected"); // below 10: a factor of the measured width
        QTest::addColumn<bool>("landscape");
        QTest::newRow("empty 300, 1,000 by a quarter, 7,000 cut")
            << QList<double>{0, 1000, 7000, 500} << QList<double>{300, 1.25, 6000, 1.5} << false;
        QTest::newRow("11,400 portrait") << (QList<double>{7000} + QList<double>(18, 0)) << QList<double>{6000, 300}
                                         << false;
        QTest::newRow("11,700 landscape")
            << (QList<double>{7000} + QList<double>(19, 0)) << QList<double>{6000, 300} << true;
        QTest::newRow("columns 0 to 50 only") << QList<double>(53, 0) << QList<double>{} << true;
    }

    void columns()
    {
        QFETCH(QList<double>, targets);
        QFETCH(QList<double>, expected);
        QList<QStringList> texts;
        QList<double> measured;
        {
            Ruler ruler(QStringLiteral("Times New Roman"), 8);
            for (int col = 0; col < targets.size(); ++col) {
                const QString word = ruler.wordOf(targets[col]);
                const bool headed = !word.isEmpty() || col > 48;
                texts << QStringList{headed ? QStringLiteral("h%1").arg(col) : QString(), word, QString()};
                measured << ruler.width(word);
            }
        }
        FlexGrid grid;
        fill(grid, texts);
        const QList<PdfPage> pages = printGrid(grid, pdf());
        QCOMPARE(pages.size(), 1);
        QTEST(pages[0].width > pages[0].height, "landscape");
        QVERIFY(qAbs(pages[0].find("List").value(0).left - Margin) < Slack);
        double position = 0;
        for (int col = 0; col < expected.size(); ++col) {
            if (!texts[col][0].isEmpty())
                QVERIFY2(qAbs(pages[0].find(texts[col][0]).value(0).left - Margin - position) < Slack,
                         qPrintable(texts[col][0]));
            position += expected[col] < 10 ? expected[col] * measured[col] : expected[col];
        }
        QCOMPARE(pages[0].find("h50").size(), targets.size() > 50 ? 1 : 0);
        QVERIFY(pages[0].find("h51").isEmpty());
    }

    // A cell in the first of two columns: the words printed and those not, all left of the second column.
    void cells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QString>("notPrinted");
        QStringList words;
        for (int i = 1; i <= 300; ++i)
            words << QStringLiteral("w%1").arg(i);
        QTest::newRow("a line break: the first line only") << "first\r\nsecond" << QStringList{"first"} << "second";
        QTest::newRow("three line breaks") << "one\r\n\r\n\r\ntwo" << QStringList{"one"} << "two";
        QTest::newRow("cut to the column") << words.join(' ') << words.mid(0, 20) << "w300";
    }

    void cells()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, printed);
        QFETCH(QString, notPrinted);
        FlexGrid grid;
        fill(grid, {{"cell", text}, {"next", "end"}});
        const QList<PdfPage> pages = printGrid(grid, pdf());
        QCOMPARE(pages.size(), 1);
        const double nextColumn = pages[0].find("next").value(0).left;
        for (const QString& word : printed)
            QVERIFY2(pages[0].find(word).value(0).right < nextColumn, qPrintable(word));
        QVERIFY(pages[0].find(notPrinted).isEmpty());
    }
};

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
