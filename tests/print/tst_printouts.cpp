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
#include "ui/maintenance/frmEditEventType.h"
#include "ui/maintenance/frmEditWebsite.h"
#include "ui/maintenance/frmEventType.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using Printing::Printer;

namespace {

constexpr double Margin = 360; // the PDF pages' margins, in twips
constexpr double Slack = 4;    // what rounding to device pixels and PDF points may move a position

// A printer in Times New Roman of the size, to measure texts with; nothing is printed.
struct Ruler
{
    std::unique_ptr<Printing::PrintTarget> target = Printing::pdfFileTarget(QStringLiteral("unused.pdf"));
    Printer printer{*target};
    explicit Ruler(double size)
    {
        printer.setFontName(QStringLiteral("Times New Roman"));
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
    // row, an empty line, then the rows. Without truncating, a value longer than a page goes on to the next.
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
            for (const PdfWord& word : page.words)
                QVERIFY(word.bottom < page.height - Margin + Slack);
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

    // An editor's Print: "Company" at (700, 600); the label's caption ending 200 twips left of the value; the value
    // wrapped at the last space within the page less 800 twips, a word too long for a line broken, nothing lost.
    void editors_data()
    {
        QTest::addColumn<bool>("website");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("minutesLeft");
        QTest::newRow("website editor") << true << QString("txtWebsiteLink") << "Link:" << 9.0;
        QTest::newRow("event type editor") << false << QString("txtEventType") << "Type:" << 1.0;
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
        const std::unique_ptr<QDialog> editor(website ? static_cast<QDialog*>(new frmEditWebsite(list, nullptr))
                                                      : new frmEditEventType(list, nullptr));
        QStringList words;
        for (int i = 1; i <= 60; ++i)
            words << QStringLiteral("word%1").arg(i);
        const QString longWord = QString(300, 'x');
        editor->findChild<QLineEdit*>(box)->setText(words.join(' ') + ' ' + longWord);
        gdblMinutesLeft = 1;
        gdblRelockMinutes = 9;
        editor->findChild<QPushButton*>("cmdPrint")->click();
        QTEST(gdblMinutesLeft, "minutesLeft");

        const PdfPage page = readPdfPages(pdf()).value(0);
        QVERIFY(qAbs(page.word("Company").left - Margin - 700) < Slack);
        QVERIFY(qAbs(page.word("Company").top - Margin - 600) < 100);
        Ruler ruler(9);
        const PdfWord first = page.word("word1");
        QVERIFY(qAbs(page.word(label).right - ruler.width(":") - (first.left - 200)) < Slack);
        const double limit = page.width - Margin - 800;
        QStringList printed;
        for (const PdfWord& word : page.words) {
            if (!word.text.startsWith("word") && !word.text.startsWith('x'))
                continue;
            QVERIFY(word.right < limit + Slack);
            if (!printed.isEmpty() && word.left < first.left + Slack) // a new line: the word did not fit after the last
                QVERIFY(page.word(printed.last()).right + ruler.width(" " + word.text) > limit - Slack);
            printed << word.text;
        }
        QCOMPARE(printed.mid(0, 60), words);
        QCOMPARE(printed.mid(60).join(""), longWord);
    }

    // A name wrapped over more lines than its row has room for pushes the link below its last line, and one longer
    // than the page goes on to the next pages: every word is printed, none over another, and the link and its label
    // follow the name's last line.
    void longNameDoesNotOverprintTheLink_data()
    {
        QTest::addColumn<int>("words");
        QTest::newRow("on its page") << 300;
        QTest::newRow("over three pages") << 2000;
    }

    void longNameDoesNotOverprintTheLink()
    {
        QFETCH(int, words);
        TempDataFolder folder;
        PdfPrinters printers(pdf());
        frmEventType list;
        gblnNewRecord = true;
        frmEditWebsite editor(list, nullptr);
        QStringList name;
        for (int i = 1; i <= words; ++i)
            name << QStringLiteral("name%1").arg(i);
        editor.findChild<QLineEdit*>("txtWebsiteName")->setText(name.join(' '));
        editor.findChild<QLineEdit*>("txtWebsiteLink")->setText(QStringLiteral("https://link.example"));
        editor.findChild<QPushButton*>("cmdPrint")->click();

        const QList<PdfPage> pages = readPdfPages(pdf());
        QCOMPARE(pages.size() > 2, words > 1000);
        QStringList printed;
        for (const PdfPage& page : pages) {
            printed += page.texts().filter(QRegularExpression("^name"));
            for (qsizetype i = 0; i < page.words.size(); ++i)
                for (qsizetype j = i + 1; j < page.words.size(); ++j) {
                    const PdfWord& a = page.words[i];
                    const PdfWord& b = page.words[j];
                    QVERIFY2(a.right <= b.left + Slack || b.right <= a.left + Slack || a.bottom <= b.top + Slack ||
                                 b.bottom <= a.top + Slack,
                             qPrintable(a.text + " over " + b.text));
                }
        }
        QCOMPARE(printed, name);
        const PdfPage& last = pages.last();
        const PdfWord link = last.word("https://link.example");
        QVERIFY(link.top > last.word(name.last()).bottom - Slack);
        QVERIFY(qAbs(last.word("Link:").top - link.top) < Slack);
    }

    // A line wrapped within the width of a text: at the last space, the space kept; a long word broken.
    void wrapLine()
    {
        Ruler ruler(9);
        const auto wrap = [&](const char* line, const char* width) {
            return WrapLine(ruler.printer, line, ruler.width(width));
        };
        QCOMPARE(wrap("aaa bbb ccc", "aaa bbb"), (QStringList{"aaa bbb ", "ccc"}));
        QCOMPARE(wrap("a xxxxxx", "xxxx"), (QStringList{"a ", "xxxx", "xx"}));
        QCOMPARE(wrap("WW", ""), (QStringList{"W", "W", ""}));
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
        for (const char* name : {"Remember", "Shown"}) {
            auto* check = new QCheckBox(QString::fromLatin1(name), &form);
            check->setObjectName(QStringLiteral("chk") + name);
            check->setChecked(name[0] == 'S');
            check->move(100, name[0] == 'S' ? 200 : 100);
        }
        Printout("Form", [&](Printer& printer) { PrintRecordForm(printer, form); });
        const PdfPage page = readPdfPages(pdf()).value(0);
        QCOMPARE(page.texts(), (QStringList{"Company", "Notes:", "Remember:", "Shown:", "X"}));
        Ruler ruler(9);
        QVERIFY(qAbs(page.word("Shown:").right - ruler.width(":") - (page.word("X").left - 200)) < Slack);
        QVERIFY(qAbs(page.word("Remember:").right - page.word("Shown:").right) < Slack);
    }

    // The main window's Print: the website list under the window's caption, counted as activity.
    void mainWindow()
    {
        PdfPrinters printers(pdf());
        WebsiteWindowFixture fixture(numberedWebsites(3));
        QVERIFY(fixture.load());
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        fixture.click("mnuPrint");
        QCOMPARE(gdblMinutesLeft, 9.0);
        const QStringList texts = readPdfPages(printers.pdfPath).value(0).texts();
        QCOMPARE(texts.mid(0, 3), (QStringList{"Quillock!", "Website", "ID"}));
        QCOMPARE(texts.count("Website"), 7); // four headings, and the name of each website
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    // Printing a list leaves its current cell and selection where the user left them, so the commands on the current
    // row (Launch, Delete) still act on the row the user chose.
    void printingLeavesTheSelection_data()
    {
        QTest::addColumn<bool>("mainWindow");
        QTest::newRow("main window, File > Print") << true;
        QTest::newRow("event type list, Print") << false;
    }

    void printingLeavesTheSelection()
    {
        QFETCH(bool, mainWindow);
        PdfPrinters printers(pdf());
        WebsiteWindowFixture fixture(numberedWebsites(5));
        QVERIFY(fixture.load());
        frmEventType types;
        types.show();
        QWidget& window = mainWindow ? static_cast<QWidget&>(*fixture.window) : types;
        auto& grid = *window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
        grid.setRow(2);
        grid.setCol(0);
        grid.setRowSel(3);
        grid.setColSel(1);
        QMetaObject::invokeMethod(window.findChild<QObject*>(mainWindow ? "mnuPrint" : "cmdPrintGrid"),
                                  mainWindow ? "trigger" : "click");
        QVERIFY(readPdfPages(printers.pdfPath).value(0).texts().size() > 5);
        QCOMPARE((QList<int>{grid.row(), grid.col(), grid.rowSel(), grid.colSel()}), (QList<int>{2, 0, 3, 1}));
    }

    // With no printer: the user is told and offered a PDF file; a file that cannot be written is a printer error.
    void noPrinter_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("error");
        QTest::newRow("saved as PDF") << "saved" << true << QString();
        QTest::newRow("save cancelled") << "" << false << QString();
        QTest::newRow("file cannot be written") << "missing/list.pdf" << false << "Error No: 75 ";
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
        QTEST(pages.value(0).texts().mid(0, 4) == QStringList({"Event", "Type", "Event", "Type"}), "written");
    }

    // A name given without ".pdf" gets it after the save prompt asked about the name as typed, so a file of the
    // full name is only replaced once the user has said so.
    void noPrinterCompletedNameAskedBeforeReplacing()
    {
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        PdfPrinters printers({});
        const QString saved = m_dir.filePath("kept.pdf");
        QVERIFY(WriteTextFile("kept", saved));
        frmEventType list;
        list.show();
        dialogs.savePaths << m_dir.filePath("kept");
        list.findChild<QPushButton*>("cmdPrintGrid")->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.messages[1].prompt.contains(QDir::toNativeSeparators(saved)));
        QVERIFY(dialogs.messages[1].prompt.contains("Do you want to replace it?"));
        QCOMPARE(dialogs.messages[1].style, Dialogs::vbYesNo + Dialogs::vbExclamation);
        QCOMPARE(readPdfPages(saved).value(0).texts().mid(0, 2), QStringList({"Event", "Type"}));
    }

    // A PDF path that is a link is refused with a clear error, and the file it points at is left as it was.
    void pdfThroughLinkRefused_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("a link") << false;
        QTest::newRow("a FIFO, which must not hang the printout") << true;
    }

    void pdfThroughLinkRefused()
    {
        QFETCH(bool, fifo);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        const QString pointedAt = m_dir.filePath("pointed-at.txt");
        QVERIFY(WriteTextFile("kept", pointedAt));
        const QString before = ReadTextFile(pointedAt);
        const QString path = m_dir.filePath(fifo ? "fifo.pdf" : "link.pdf");
        QFile::remove(path);
        QVERIFY(fifo ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0 : QFile::link(pointedAt, path));
        PdfPrinters printers(path);
        frmEventType list;
        list.show();
        list.findChild<QPushButton*>("cmdPrintGrid")->click();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].prompt.startsWith("Error No: 75 "), qPrintable(dialogs.messages[0].prompt));
        QVERIFY(dialogs.messages[0].prompt.contains("it is not a regular file"));
        QCOMPARE(ReadTextFile(pointedAt), before);
    }
};

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
