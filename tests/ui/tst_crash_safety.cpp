// A program killed in the middle of a save leaves its data file whole: the list order of 3000 websites and the saved
// window size are each found wholly as they were or wholly as saved. The saving program is this test run again as a
// child, flipping the order or the size and saving it again and again, writing S as a save begins and E as it ends;
// the test times a save, then kills the child with SIGKILL at moments spread over that length.

#include "platform/app/Application.h"
#include "platform/grid/FlexGrid.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

const char* const SavingFolder = "QUILLOCK_TEST_SAVE_IN"; // set for the child: the folder of its data file
constexpr int Kills = 8;
constexpr std::chrono::milliseconds LoadingTime(30000);
constexpr std::chrono::milliseconds LongestSave(1000); // a save takes milliseconds: kills spread over this at most

void mark(char step)
{
    if (write(STDOUT_FILENO, &step, 1) != 1)
        std::_Exit(2);
}

void reverseRows(FlexGrid& grid)
{
    for (int upper = 1, lower = grid.rows() - 1; upper < lower; ++upper, --lower) {
        for (int col = 0; col < grid.cols(); ++col) {
            const QString text = grid.textMatrix(upper, col);
            grid.setTextMatrix(upper, col, grid.textMatrix(lower, col));
            grid.setTextMatrix(lower, col, text);
        }
    }
}

// The child: saves the reversed order (or the other size, through Close) until it is killed.
[[noreturn]] void saveUntilKilled(const QString& what)
{
    Application::setPath(qEnvironmentVariable(SavingFolder));
    ScriptedDialogs dialogs; // Close only records the end of the program
    frmWebsite window;
    if (!window.Form_Load())
        std::_Exit(1);
    window.show();
    auto* grid = window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    auto* save = window.findChild<QPushButton*>(what == "order" ? "cmdSaveListOrder" : "cmdClose");
    for (;;) {
        if (what == "order")
            reverseRows(*grid);
        else
            window.resize(window.width() == 600 ? QSize(660, 480) : QSize(600, 450)); // 9000 x 6750 twips at first
        mark('S');
        save->click();
        mark('E');
    }
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

    TempDataFolder m_folder;
    QProcess m_child;
    QByteArray m_marks; // all the child wrote

    // Starts a child that saves, and waits until its first save begins.
    bool startSaving(const QString& what)
    {
        m_marks.clear();
        qputenv(SavingFolder, QFile::encodeName(m_folder.path())); // the child inherits it
        m_child.start(QCoreApplication::applicationFilePath(), {what});
        return m_child.waitForStarted() && waitFor('S', LoadingTime);
    }
    // Reads the child's output until it has written the step; false if it ends or the time runs out first.
    bool waitFor(char step, std::chrono::milliseconds time)
    {
        const QDeadlineTimer deadline(time);
        for (char got = 0; got != step; m_marks += got) {
            if (m_child.bytesAvailable() == 0 && !m_child.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                return false;
            m_child.getChar(&got);
        }
        return true;
    }

private slots:
    void initTestCase() { seedWebsites(m_folder.dataFilePath(), numberedWebsites(3000)); }
    void cleanup() // a child left by a failure would hold the data file
    {
        m_child.kill();
        m_child.waitForFinished();
    }

    void killedSaveLeavesOldOrNew_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("stateQuery");
        QTest::addColumn<QStringList>("wholeStates"); // the order or size as it was and as saved
        QTest::newRow("list order") << "order"
                                    << "SELECT SUM(WebsiteListOrder = WebsiteID) || ' ' || "
                                       "SUM(WebsiteListOrder = 3001 - WebsiteID) FROM Website"
                                    << QStringList{"3000 0", "0 3000"};
        QTest::newRow("window size") << "size"
                                     << "SELECT FormWidth || ' x ' || FormHeight FROM Setup"
                                     << QStringList{"9000 x 6750", "9900 x 7200"};
    }

    void killedSaveLeavesOldOrNew()
    {
        QFETCH(QString, what);
        QFETCH(QString, stateQuery);
        QFETCH(QStringList, wholeStates);
        m_folder.execute({"UPDATE Setup SET FormWidth = 9000, FormHeight = 6750 WHERE SetupID = 1"});
        // The length of one save, or LongestSave for a save that takes longer.
        QVERIFY(startSaving(what));
        const auto begun = std::chrono::steady_clock::now();
        waitFor('E', LongestSave);
        const auto saveLength =
            std::min<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - begun, LongestSave);
        int midSave = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            if (kill > 0)
                QVERIFY(startSaving(what));
            std::this_thread::sleep_for(saveLength * kill / Kills);
            ::kill(static_cast<pid_t>(m_child.processId()), SIGKILL);
            m_child.waitForFinished();
            midSave += (m_marks + m_child.readAll()).endsWith('S') ? 1 : 0;
            QCOMPARE(m_folder.column("PRAGMA integrity_check"), QStringList("ok"));
            const QString state = m_folder.column(stateQuery).value(0);
            QVERIFY2(wholeStates.contains(state), qPrintable(state));
        }
        QVERIFY2(midSave > 0,
                 qPrintable(QString("no kill came in the middle of a save of %1 ns").arg(saveLength.count())));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(SavingFolder))
        saveUntilKilled(QApplication::arguments().value(1));
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash_safety.moc"
