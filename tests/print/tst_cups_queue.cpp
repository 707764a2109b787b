// A printout on the system's default printer: a private CUPS scheduler whose default queue writes PDF files
// (cups-pdf). The job's pages are read back, and a queue that refuses jobs is reported with its reason.

#include "support/PdfPages.h"
#include "support/PdfPrinters.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "ui/maintenance/frmEventType.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <unistd.h>

class TestCupsQueue : public QObject
{
    Q_OBJECT

    QTemporaryDir m_queueFolder{QDir::tempPath() + QStringLiteral("/cups-XXXXXX")}; // names its queue

    bool queue(const QString& action, QByteArray* output = nullptr)
    {
        QProcess script;
        script.start(QStringLiteral(QUILLOCK_CUPS_QUEUE_SCRIPT), {action, m_queueFolder.path()});
        const bool ran =
            script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
        if (output)
            *output = script.readAllStandardOutput().trimmed();
        if (!ran)
            qWarning() << script.readAllStandardError();
        return ran;
    }

    QStringList jobFiles() const
    {
        return QDir(m_queueFolder.filePath(QStringLiteral("out"))).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }

    // Line by line from the top, each from the left: poppler groups the words of the two files differently.
    static QList<PdfWord> inReadingOrder(QList<PdfWord> words)
    {
        std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
            return a.bottom != b.bottom ? a.bottom < b.bottom : a.right < b.right;
        });
        return words;
    }

    // Prints the event type list from its Print button; the messages it showed.
    static QList<ScriptedDialogs::Message> printEventTypes()
    {
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        frmEventType list;
        list.show();
        list.findChild<QPushButton*>(QStringLiteral("cmdPrintGrid"))->click();
        return dialogs.messages;
    }

private slots:
    void initTestCase()
    {
        if (geteuid() != 0) // cups-pdf writes its files as root
            QSKIP("a private CUPS scheduler with cups-pdf needs root");
        QByteArray server;
        QVERIFY2(queue(QStringLiteral("start"), &server), "the CUPS queue did not start");
        qputenv("CUPS_SERVER", server); // before the first look at the printers
    }

    void cleanupTestCase()
    {
        if (geteuid() == 0) // stopped even when starting failed half-way
            queue(QStringLiteral("stop"));
    }

    void printsOnTheDefaultQueue()
    {
        QCOMPARE(printEventTypes().size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(jobFiles().size(), 1, 60000);
        const QString job = m_queueFolder.filePath(QStringLiteral("out/") + jobFiles().constFirst());
        QList<PdfPage> pages;
        QTRY_VERIFY_WITH_TIMEOUT(!(pages = readPdfPages(job)).isEmpty(), 10000); // written once ghostscript ends
        // cups-pdf redraws the glyphs as pictures, of which poppler finds only the right and bottom edges: the job
        // has as many words as the same printout drawn into a PDF file, ending at the same places.
        const QString drawn = m_queueFolder.filePath(QStringLiteral("drawn.pdf"));
        {
            PdfPrinters pdf(drawn);
            QCOMPARE(printEventTypes().size(), 0);
        }
        const QList<PdfWord> expected = inReadingOrder(readPdfPages(drawn).value(0).words);
        const QList<PdfWord> printed = inReadingOrder(pages.constFirst().words);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(printed.size(), expected.size());
        QVERIFY(expected.size() > 10);
        for (qsizetype i = 1; i < printed.size(); ++i) {
            QVERIFY(qAbs((printed[i].right - printed[0].right) - (expected[i].right - expected[0].right)) < 30);
            QVERIFY(qAbs((printed[i].bottom - printed[0].bottom) - (expected[i].bottom - expected[0].bottom)) < 30);
        }
    }

    void refusedJobIsReported()
    {
        const QString queueName = QStringLiteral("quillock-") + QDir(m_queueFolder.path()).dirName();
        QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), {QStringLiteral("-r"), "paper jam", queueName}), 0);
        const QList<ScriptedDialogs::Message> messages = printEventTypes();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].prompt.startsWith("Error No: 482") && messages[0].prompt.contains("paper jam"),
                 qPrintable(messages[0].prompt));
        QCOMPARE(jobFiles().size(), 1); // nothing more came out
    }
};

QTEST_MAIN(TestCupsQueue)
#include "tst_cups_queue.moc"
