// Printouts drawn into PDF files through the code that prints on a printer, and read back with pdftotext: grid
// columns and pages, editor windows, and what happens without a printer.

#include "app/basModule1.h"
#include "platform/grid/FlexGrid.h"
#include "platform/printer/Printer.h"
#include "print/PrintForm.h"
#include "print/PrintText.h"
#include "print/Printout.h"
#include "print/basPrintGrid.h"
#include "support/PdfPages.h"
#include "support/PdfPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "ui/maintenance/frmEditEventType.h"
#include "ui/maintenance/frmEditWebsite.h"
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

    // Every page below the last row's: nothing below the printable area, each expected word printed once, and on a
    // new page two empty lines, the header row, an empty line, then the rows.
    void pages_data()
    {
        QTest::addColumn<QList<QStringList>>("columns");
        QTest::addColumn<bool>("truncate");
        QStringList names{"Name"};
        QStringList notes{"Notes"};
        for (int i = 1; i <= 300; ++i)
            names << QStringLiteral("r%1").arg(i);
        notes << QStringList(300, "n");
        QTest::newRow("header on every page") << QList<QStringList>{names, notes} << true;
        QStringList lines = names.mid(1);
        QTest::newRow("a value longer than a page")
            << QList<QStringList>{{"Name", "a"}, {"Notes", lines.join("\r\n")}} << false;
    }

    void pages()
    {
        QFETCH(QList<QStringList>, columns);
        QFETCH(bool, truncate);
        const double line = Ruler(QStringLiteral("Times New Roman"), 8).printer.textHeight();
        FlexGrid grid;
        fill(grid, columns);
        const QList<PdfPage> pages = printGrid(grid, pdf(), truncate);
        QVERIFY(pages.size() > 1);
        QStringList printed;
        for (const PdfPage& page : pages) {
            printed += page.texts();
            for (const PdfWord& word : page.words)
                QVERIFY2(word.bottom < page.height - Margin + Slack, qPrintable(word.text));
        }
        for (int i = 1; i <= 300; ++i)
            QCOMPARE(printed.count(QStringLiteral("r%1").arg(i)), 1);
        if (!truncate)
            return;
        for (const PdfPage& page : pages.mid(1)) {
            QCOMPARE(page.words.value(0).text, QStringLiteral("Name"));
            QVERIFY(qAbs(page.words[0].top - Margin - 2 * line) < line / 3);
            QVERIFY(qAbs(page.words[2].top - page.words[0].top - 2 * line) < line / 3);
        }
    }

    // A line wrapped within the width of a text: the pieces, nothing lost.
    void wrapLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("fits") << "abc"
                              << "abc" << QStringList{"abc"};
        QTest::newRow("at the last space, kept") << "aaa bbb ccc"
                                                 << "aaa bbb" << QStringList{"aaa bbb ", "ccc"};
        QTest::newRow("a long word broken") << "xxxxxxxxxx"
                                            << "xxxx" << QStringList{"xxxx", "xxxx", "xx"};
        QTest::newRow("a space, then a long word") << "a xxxxxx"
                                                   << "xxxx" << QStringList{"a ", "xxxx", "xx"};
        QTest::newRow("wider than the width") << "WW"
                                              << "" << QStringList{"W", "W", ""};
    }

    void wrapLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, width);
        Ruler ruler(QStringLiteral("Times New Roman"), 9);
        QTEST(WrapLine(ruler.printer, line, ruler.width(width)), "pieces");
    }

    // An editor's Print button: "Company" at (700, 600), each label's caption ending 200 twips left of its value,
    // a long value wrapped at spaces within the page less 800 twips, nothing lost; idle count set back by the
    // website editor only.
    void editors_data()
    {
        QTest::addColumn<bool>("website");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("minutesLeft");
        QTest::newRow("website editor") << true << "txtWebsiteLink"
                                        << "Link:" << 9.0;
        QTest::newRow("event type editor") << false << "txtEventType"
                                           << "Type:" << 1.0;
    }

    void editors()
    {
        QFETCH(bool, website);
        QFETCH(QString, box);
        QFETCH(QString, label);
        TempDataFolder folder;
        PdfPrinters printers(pdf());
        frmEventType list;
        gblnNewRecord = true;
        std::unique_ptr<QDialog> editor;
        if (website)
            editor = std::make_unique<frmEditWebsite>(list, nullptr);
        else
            editor = std::make_unique<frmEditEventType>(list, nullptr);
        QStringList words;
        for (int i = 1; i <= 60; ++i)
            words << QStringLiteral("word%1").arg(i);
        editor->findChild<QLineEdit*>(box)->setText(words.join(' '));
        gdblMinutesLeft = 1;
        gdblRelockMinutes = 9;
        auto* print = editor->findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        QCOMPARE(print->text(), QStringLiteral("&Print"));
        print->click();
        QTEST(gdblMinutesLeft, "minutesLeft");

        const QList<PdfPage> pages = readPdfPages(pdf());
        QCOMPARE(pages.size(), 1);
        const PdfPage& page = pages[0];
        const PdfWord company = page.find("Company").value(0);
        QVERIFY(qAbs(company.left - Margin - 700) < Slack);
        QVERIFY(qAbs(company.top - Margin - 600) < 100);
        Ruler ruler(QStringLiteral("Times New Roman"), 9);
        const PdfWord first = page.find("word1").value(0);
        QVERIFY(qAbs(page.find(label).value(0).right - ruler.width(":") - (first.left - 200)) < Slack);
        const double limit = page.width - Margin - 800;
        QStringList printed;
        for (const PdfWord& word : page.words) {
            if (!word.text.startsWith("word"))
                continue;
            QVERIFY(word.right < limit + Slack);
            if (!printed.isEmpty() && word.left < first.left + Slack) // wrapped: the word did not fit after the last
                QVERIFY(page.find(printed.last()).value(0).right + ruler.width(" " + word.text) > limit - Slack);
            printed << word.text;
        }
        QCOMPARE(printed, words);
    }

    // Check boxes print their caption and a colon ending 200 twips left of their place, and an X there when checked;
    // a blank text box prints its label only.
    void checkBoxes()
    {
        PdfPrinters printers(pdf());
        QDialog form;
        form.resize(400, 300);
        auto* notes = new QLineEdit(QStringLiteral("   "), &form);
        notes->setObjectName("txtNotes");
        notes->move(100, 20);
        (new QLabel(QStringLiteral("&Notes"), &form))->setObjectName("lblNotes");
        auto* remember = new QCheckBox(QStringLiteral("Remember"), &form);
        remember->setObjectName("chkRemember");
        remember->move(100, 100);
        auto* shown = new QCheckBox(QStringLiteral("&Shown"), &form);
        shown->setObjectName("chkShown");
        shown->setChecked(true);
        shown->move(100, 200);
        Printout("Form", [&](Printer& printer) { PrintRecordForm(printer, form); });
        const PdfPage page = readPdfPages(pdf()).value(0);
        QCOMPARE(page.texts(), (QStringList{"Company", "Notes:", "Remember:", "Shown:", "X"}));
        Ruler ruler(QStringLiteral("Times New Roman"), 9);
        const PdfWord shownWord = page.find("Shown:").value(0);
        QVERIFY(qAbs(shownWord.right - ruler.width(":") - (page.find("X").value(0).left - 200)) < Slack);
        QVERIFY(qAbs(page.find("Remember:").value(0).right - shownWord.right) < Slack);
    }

    // With no printer: the user is told and offered a PDF file; a file that cannot be written is a printer error.
    void noPrinter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("error");
        QTest::newRow("saved as PDF") << "saved" << true << "";
        QTest::newRow("save cancelled") << "" << false << "";
        QTest::newRow("file cannot be written") << "missing/list.pdf" << false << "Error No: 482 ";
    }

    void noPrinter()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        PdfPrinters printers({});
        QFile::remove(m_dir.filePath("saved.pdf"));
        frmEventType list;
        list.show();
        if (!path.isEmpty())
            dialogs.savePaths << m_dir.filePath(path);
        list.findChild<QPushButton*>("cmdPrintGrid")->click();
        QCOMPARE(dialogs.messages.size(), error.isEmpty() ? 1 : 2);
        QVERIFY(dialogs.messages[0].prompt.startsWith("There is no printer"));
        QCOMPARE(dialogs.messages[0].style, Dialogs::vbYesNo + Dialogs::vbQuestion);
        QCOMPARE(dialogs.messages.value(1).prompt.left(error.size()), error);
        const QList<PdfPage> pages = readPdfPages(m_dir.filePath("saved.pdf"));
        const QStringList title{"Event", "Type", "Event", "Type"};
        QTEST(!pages.isEmpty() && pages[0].texts().mid(0, 4) == title, "written");
    }
};

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
