// Printouts drawn into PDF files by the printing code and read back with pdftotext.

#include "../ui/WebsiteWindowFixture.h"
#include "platform/grid/FlexGrid.h"
#include "platform/printer/Printer.h"
#include "support/PdfPages.h"
#include "support/PdfPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/print/PrintForm.h"
#include "system/print/PrintText.h"
#include "system/print/Printout.h"
#include "system/print/basPrintGrid.h"
#include "ui/maintenance/frmEditWebsite.h"
#include "ui/maintenance/frmEventType.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using Printing::Printer;

namespace {

constexpr double Margin = 360; // the PDF pages' margins, in twips
constexpr double Slack = 4;    // what rounding to device pixels and PDF points may move a position

// A printer in a font of the size (Times New Roman, which grids print in, unless told), to measure texts with;
// nothing is printed.
struct Ruler
{
    std::unique_ptr<Printing::PrintTarget> target = Printing::pdfFileTarget(QStringLiteral("unused.pdf"));
    Printer printer{*target};
    explicit Ruler(double size, const QString& font = QStringLiteral("Times New Roman"))
    {
        printer.setFontName(font);
        printer.setFontSize(size);
    }
    ~Ruler() { Printer::restoreDefaultSettings(); }
    double width(const QString& text) const { return printer.textWidth(text); }
    // A word of x's as close to the width as whole letters come.
    QString wordOf(double width) const
    {
        QString word;
        while (width > 0 && printer.textWidth(word + QLatin1Char('x')) <= width)
            word += QLatin1Char('x');
        return word;
    }
};

// The grid of the columns of texts (the first its header) printed as a list window prints it, or wrapping its cells.
QList<PdfPage> printGrid(const QList<QStringList>& columns, const QString& pdf, bool truncate = true)
{
    FlexGrid grid;
    grid.setCols(static_cast<int>(columns.size()));
    grid.setRows(static_cast<int>(columns[0].size()));
    for (int col = 0; col < columns.size(); ++col)
        for (int row = 0; row < columns[col].size(); ++row)
            grid.setTextMatrix(row, col, columns[col][row]);
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
    QString pdf() const
    {
        return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QTest::currentDataTag() + ".pdf");
    }

private slots:
    void init() { Printer::restoreDefaultSettings(); }

    // Columns of a text about each width (0: empty, no header before column 49): each column's printed width, a
    // constant or a factor of its measured width, and the page's orientation.
    void columns_data()
    {
        QTest::addColumn<QList<double>>("targets");
        QTest::addColumn<QList<double>>("expected"); // below 10: a factor of the measured width
        QTest::addColumn<bool>("landscape");
        QTest::newRow("empty 300, 1,000 by a quarter, 7,000 cut")
            << QList<double>{0, 1000, 7000, 500} << QList<double>{300, 1.25, 6000, 1.5} << false;
        QTest::newRow("11,400 portrait") << QList<double>{7000} + QList<double>(18, 0) << QList<double>{} << false;
        QTest::newRow("11,700 landscape") << QList<double>{7000} + QList<double>(19, 0) << QList<double>{} << true;
        QTest::newRow("columns 0 to 50 only") << QList<double>(53, 0) << QList<double>{} << true;
    }

    void columns()
    {
        QFETCH(QList<double>, targets);
        QFETCH(QList<double>, expected);
        QList<QStringList> texts;
        QList<double> measured;
        {
            Ruler ruler(8);
            for (int col = 0; col < targets.size(); ++col) {
                const QString word = ruler.wordOf(targets[col]);
                texts << QStringList{word.isEmpty() && col < 49 ? QString() : QStringLiteral("h%1").arg(col), word};
                measured << ruler.width(word);
            }
        }
        const QList<PdfPage> pages = printGrid(texts, pdf());
        QCOMPARE(pages.size(), 1);
        QTEST(pages[0].width > pages[0].height, "landscape");
        QVERIFY(qAbs(pages[0].word("List").left - Margin) < Slack);
        double position = 0;
        for (int col = 0; col < expected.size(); ++col) {
            if (!texts[col][0].isEmpty())
                QVERIFY(qAbs(pages[0].word(texts[col][0]).left - Margin - position) < Slack);
            position += expected[col] < 10 ? expected[col] * measured[col] : expected[col];
        }
        QCOMPARE(pages[0].texts().count("h50"), targets.size() > 50 ? 1 : 0);
        QVERIFY(!pages[0].texts().contains("h51"));
    }

    // Cells print their first line only, cut to the column: nothing reaches into the next column.
    void cells()
    {
        QStringList words;
        for (int i = 1; i <= 300; ++i)
            words << QStringLiteral("w%1").arg(i);
        const QStringList next{"next", "a", "b", "c"};
        const PdfPage page =
            printGrid({{"cell", "one\r\ntwo", "three\r\n\r\n\r\nfour", words.join(' ')}, next}, pdf()).value(0);
        for (const char* printed : {"one", "three", "w1"})
            QVERIFY(page.texts().contains(printed));
        for (const char* notPrinted : {"two", "four", "w300"})
            QVERIFY(!page.texts().contains(notPrinted));
        for (const PdfWord& word : page.words)
            QVERIFY(word.right < page.word("next").left || next.contains(word.text));
    }

    // Every row printed once and nothing below the printable area; on each new page, two empty lines, the header
    // row, an empty line, then the rows. Without truncating, a value longer than a page goes on to the next, in its
    // column.
    void pages_data()
    {
        QTest::addColumn<QList<QStringList>>("columns");
        QTest::addColumn<bool>("truncate");
        QStringList names{"Name"};
        for (int i = 1; i <= 300; ++i)
            names << QStringLiteral("r%1").arg(i);
        QTest::newRow("header on every page") << QList<QStringList>{names, {"Notes"}} << true;
        QTest::newRow("a value longer than a page")
            << QList<QStringList>{{"Name", "a"}, {"Notes", names.mid(1).join("\r\n")}} << false;
    }

    void pages()
    {
        QFETCH(QList<QStringList>, columns);
        QFETCH(bool, truncate);
        const double line = Ruler(8).printer.textHeight();
        const QList<PdfPage> pages = printGrid(columns, pdf(), truncate);
        QVERIFY(pages.size() > 1);
        QStringList printed;
        for (const PdfPage& page : pages) {
            printed += page.texts();
            for (const PdfWord& word : page.words) { // a value going on keeps to its column
                QVERIFY(word.bottom < page.height - Margin + Slack);
                if (!truncate && word.text.startsWith('r'))
                    QVERIFY(qAbs(word.left - pages.last().word("r300").left) < Slack);
            }
            if (truncate && &page != &pages[0]) {
                QCOMPARE(page.words[0].text, QStringLiteral("Name"));
                QVERIFY(qAbs(page.words[0].top - Margin - 2 * line) < line / 3);
                QVERIFY(qAbs(page.word(page.texts().filter(QRegularExpression("^r")).value(0)).top - page.words[0].top -
                             2 * line) < line / 3);
            }
        }
        for (int i = 1; i <= 300; ++i)
            QCOMPARE(printed.count(QStringLiteral("r%1").arg(i)), 1);
    }

    // An editor's Print, as activity: "Company" at (700, 600); the label's caption ending 200 twips left of the value;
    // the value wrapped at the last space within the page less 800 twips, a word too long for a line broken, nothing
    // lost, no word over another; a box of blanks prints its label alone. A name longer than the page goes on to the
    // next pages, and the link and its label follow its last line there. The line wrapper given a width narrower than
    // any character still moves on, a character a line.
    void editors_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("words"); // of the value, then a word of 300 x's
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("otherTexts"); // of the first page
        QTest::newRow("the name blank") << "txtWebsiteLink"
                                        << 60 << "Link:" << QStringList{"Company", "Website", "Name:",   "Website",
                                                                        "Link:",   "Pause",   "Between", "Keys",
                                                                        "(ms):",   "0"};
        QTest::newRow("a name over three pages")
            << "txtWebsiteName" << 2000 << "Name:" << QStringList{"Company", "Website", "Name:"};
    }

    void editors()
    {
        QFETCH(QString, box);
        QFETCH(int, words);
        QFETCH(QString, label);
        TempDataFolder folder;
        PdfPrinters printers(pdf());
        frmEventType list;
        gblnNewRecord = true;
        frmEditWebsite editor(list, nullptr);
        QStringList value;
        for (int i = 1; i <= words; ++i)
            value << QStringLiteral("word%1").arg(i);
        const QString longWord = QString(300, 'x');
        editor.findChild<QLineEdit*>(box)->setText(value.join(' ') + ' ' + longWord);
        editor.findChild<QLineEdit*>(box == "txtWebsiteName" ? "txtWebsiteLink" : "txtWebsiteName")
            ->setText(box == "txtWebsiteName" ? QStringLiteral("https://link.example") : QStringLiteral("   "));
        gdblMinutesLeft = 1;
        gdblRelockMinutes = 9;
        editor.findChild<QPushButton*>("cmdPrint")->click();
        QCOMPARE(gdblMinutesLeft, 9.0);

        const QList<PdfPage> pages = readPdfPages(pdf());
        QCOMPARE(pages.size() > 2, words > 1000);
        QCOMPARE(WrapLine(Ruler(9).printer, "WW", 0), (QStringList{"W", "W", ""}));
        QVERIFY(qAbs(pages[0].word("Company").left - Margin - 700) < Slack);
        QVERIFY(qAbs(pages[0].word("Company").top - Margin - 600) < 100);
        QTEST(pages[0].texts().filter(QRegularExpression("^(?!word|x)")), "otherTexts");
        Ruler ruler(9, QStringLiteral("Arial")); // the font the printer starts with; a record printout keeps it
        const PdfWord first = pages[0].word("word1");
        QVERIFY(qAbs(pages[0].word(label).right - ruler.width(":") - (first.left - 200)) < Slack);
        const double limit = pages[0].width - Margin - 800;
        QStringList printed;
        PdfWord last;
        for (const PdfPage& page : pages) {
            for (qsizetype i = 0; i < page.words.size(); ++i) {
                const PdfWord& word = page.words[i];
                for (qsizetype j = i + 1; j < page.words.size(); ++j) {
                    const PdfWord& other = page.words[j];
                    QVERIFY2(word.right <= other.left + Slack || other.right <= word.left + Slack ||
                                 word.bottom <= other.top + Slack || other.bottom <= word.top + Slack,
                             qPrintable(word.text + " over " + other.text));
                }
                if (!word.text.startsWith("word") && !word.text.startsWith('x'))
                    continue;
                QVERIFY(word.right < limit + Slack);
                if (!printed.isEmpty() &&
                    word.left < first.left + Slack) // a new line: the word did not fit after the last
                    QVERIFY(last.right + ruler.width(" " + word.text) > limit - Slack);
                printed << word.text;
                last = word;
            }
        }
        QCOMPARE(printed.mid(0, words), value);
        QCOMPARE(printed.mid(words).join(""), longWord);
        if (box == "txtWebsiteName") {
            const PdfWord link = pages.last().word("https://link.example");
            QVERIFY(link.top > last.bottom - Slack);
            QVERIFY(qAbs(pages.last().word("Link:").top - link.top) < Slack);
        }
    }

    // The main window's Print prints the list under its caption, counts as activity, and leaves the current cell
    // and selection where the user left them, so the commands on the current row (Launch, Delete) still act on the
    // row the user chose. (Every list prints through the same code; the event type list's Print is below.)
    void printingTheMainWindow()
    {
        PdfPrinters printers(pdf());
        WebsiteWindowFixture fixture(numberedWebsites(3));
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        grid.setRow(2);
        grid.setCol(0);
        grid.setRowSel(3);
        grid.setColSel(1);
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        fixture.click("mnuPrint");
        const QStringList texts = readPdfPages(printers.pdfPath).value(0).texts();
        QCOMPARE(texts.mid(0, 3), (QStringList{"Quillock!", "Website", "ID"}));
        QCOMPARE(texts.count("Website"), 7); // four headings, and the name of each website
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE((QList<int>{grid.row(), grid.col(), grid.rowSel(), grid.colSel()}), (QList<int>{2, 0, 3, 1}));
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    // With no printer, the user is told and offered a PDF file, whose name gets ".pdf" after the save prompt asked
    // about the name as typed, so a file of the full name is replaced only once the user has said so. A file that
    // cannot be written, or a PDF path that is a link or a FIFO (which must not hang the printout), is a printer
    // error, and what the link points at is left as it was. The event type list's Print is no activity.
    void printsIntoAFile_data()
    {
        QTest::addColumn<QString>("printer");      // the default printer's file: none, a link or a FIFO
        QTest::addColumn<QString>("savedAs");      // what the save prompt gives; empty: cancelled
        QTest::addColumn<QStringList>("messages"); // each one's style and start; %1 is the folder
        QTest::addColumn<QString>("written");      // the file that holds the list; empty: none
        const QString none = QStringLiteral("36 There is no printer");
        const auto row = [](const char* tag, const char* printer, const char* savedAs, const QStringList& messages,
                            const char* written) { QTest::newRow(tag) << printer << savedAs << messages << written; };
        row("saved as PDF", "", "saved.pdf", {none}, "saved.pdf");
        row("save cancelled", "", "", {none}, "");
        row("file cannot be written", "", "missing/list.pdf", {none, "0 Error No: 75 "}, "");
        row("name completed, asked before replacing", "", "kept", {none, "52 The file %1/kept.pdf already"},
            "kept.pdf");
        row("a link", "link", "", {"0 Error No: 75 "}, "");
        row("a FIFO", "fifo", "", {"0 Error No: 75 "}, "");
    }

    void printsIntoAFile()
    {
        QFETCH(QString, printer);
        QFETCH(QString, savedAs);
        QFETCH(QStringList, messages);
        QFETCH(QString, written);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        const QDir dir(folder.path());
        QVERIFY(WriteTextFile("kept", dir.filePath("kept.pdf")));
        const QString path = dir.filePath("printer.pdf");
        QVERIFY(printer != "fifo" || mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QVERIFY(printer != "link" || QFile::link(dir.filePath("kept.pdf"), path));
        PdfPrinters printers(printer.isEmpty() ? QString() : path);
        if (!savedAs.isEmpty())
            dialogs.savePaths << dir.filePath(savedAs);
        frmEventType list;
        list.show();
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        list.findChild<QPushButton*>("cmdPrintGrid")->click();
        QCOMPARE(gdblMinutesLeft, 1.0);
        QStringList seen;
        for (const ScriptedDialogs::Message& message : dialogs.messages)
            seen << QString::number(message.style) + ' ' + message.prompt;
        QCOMPARE(seen.size(), messages.size());
        for (qsizetype i = 0; i < messages.size(); ++i)
            QVERIFY2(seen[i].startsWith(messages[i].arg(dir.path())), qPrintable(seen[i]));
        const QStringList printed =
            written.isEmpty() ? QStringList() : readPdfPages(dir.filePath(written)).value(0).texts();
        QCOMPARE(printed.mid(0, 2), written.isEmpty() ? QStringList() : QStringList({"Event", "Type"}));
        QCOMPARE(ReadTextFile(dir.filePath("kept.pdf")) == "kept\r\n", written != "kept.pdf");
    }
};

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
