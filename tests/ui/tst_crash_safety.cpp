// A program killed in the middle of a save leaves its data file whole: the list order of thousands of websites and
// the saved window size are each found wholly as they were or wholly as saved. The program that saves is this test
// run again as a child: it loads the main window over the test's data file and saves again and again, flipping the
// order or the size each time, and writes S to its output as a save begins and E as it ends. The test measures how
// long a save takes, then kills the child with SIGKILL at moments spread over that length.

#include "platform/app/Application.h"
#include "platform/grid/FlexGrid.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

const char* const SavingFolder = "QUILLOCK_TEST_SAVE_IN"; // set for the child: the folder of its data file
constexpr int Websites = 3000;
constexpr int Kills = 8;
constexpr std::chrono::milliseconds LoadingTime(30000);
constexpr std::chrono::milliseconds LongestSave(1000); // a save takes milliseconds: kills spread over this at most
const QSize SizeA(600, 450);                           // the saved size at the start: 9000 x 6750 twips
const QSize SizeB(660, 480);

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
            window.resize(window.size() == SizeA ? SizeB : SizeA);
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

    void startChild(const QString& what)
    {
        m_marks.clear();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(SavingFolder, m_folder.path());
        m_child.setProcessEnvironment(environment);
        m_child.start(QCoreApplication::applicationFilePath(), {what});
        QVERIFY(m_child.waitForStarted());
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
    // Kills the child after the delay; 1 when it was in the middle of a save then.
    int killAfter(std::chrono::microseconds delay)
    {
        std::this_thread::sleep_for(delay);
        ::kill(static_cast<pid_t>(m_child.processId()), SIGKILL);
        m_child.waitForFinished();
        m_marks += m_child.readAll();
        return m_marks.endsWith('S') ? 1 : 0;
    }

private slots:
    void initTestCase() { seedWebsites(m_folder.dataFilePath(), numberedWebsites(Websites)); }
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
        QTest::newRow("list order")
            << "order"
            << QString("SELECT SUM(WebsiteListOrder = WebsiteID) || ' ' || SUM(WebsiteListOrder = %1 - WebsiteID) "
                       "FROM Website")
                   .arg(Websites + 1)
            << QStringList{QString("%1 0").arg(Websites), QString("0 %1").arg(Websites)};
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
        startChild(what);
        QVERIFY(waitFor('S', LoadingTime));
        QElapsedTimer clock;
        clock.start();
        waitFor('E', LongestSave);
        const auto saveLength =
            std::min<std::chrono::nanoseconds>(std::chrono::nanoseconds(clock.nsecsElapsed()), LongestSave);
        int midSave = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            if (m_child.state() == QProcess::NotRunning) {
                startChild(what);
                QVERIFY(waitFor('S', LoadingTime));
            }
            midSave += killAfter(std::chrono::duration_cast<std::chrono::microseconds>(saveLength * kill / Kills));
            QCOMPARE(m_folder.column("PRAGMA integrity_check"), QStringList("ok"));
            const QString state = m_folder.column(stateQuery).value(0);
            QVERIFY2(wholeStates.contains(state), qPrintable(state));
        }
        qInfo("%s: %d of %d kills in the middle of a save of %lld us", qPrintable(what), midSave, Kills,
              static_cast<long long>(saveLength.count() / 1000));
        QVERIFY2(midSave > 0, "no kill came in the middle of a save");
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
