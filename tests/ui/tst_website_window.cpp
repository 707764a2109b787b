// The main window on a real data file in a temporary folder: the website grid, deleting, the list order,
// the saved sizes, launcher mode and the switches between the modes.

#include "WebsiteWindowFixture.h"
#include "app/basModule1.h"
#include "platform/db/Connection.h"
#include "platform/grid/FlexGrid.h"
#include "ui/main/CommandLabel.h"
#include "ui/main/RecordListGrid.h"

#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cmath>

namespace {

QStringList gridColumn(const FlexGrid& grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.rows(); ++row)
        texts << grid.textMatrix(row, col);
    return texts;
}

QStringList listTexts(const QListWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

QList<WebsiteSeed> named(const QStringList& names)
{
    QList<WebsiteSeed> websites;
    for (int i = 0; i < names.size(); ++i)
        websites.append({names[i], QStringLiteral("https://%1.test/login").arg(names[i]), i + 1});
    return websites;
}

// Clicks a record row the way a user does, in the website name column.
void clickRow(FlexGrid& grid, int row)
{
    auto* view = grid.findChild<QTableView*>();
    QCoreApplication::processEvents(); // the view learns of new rows once the event loop turns
    const QPoint at = view->visualRect(view->model()->index(row - 1, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

bool closeBox(frmWebsite& window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(&window, &event);
    return event.isAccepted();
}

} // namespace

class TestWebsiteWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fillShowsWebsitesInListOrder();
    void listOrderFillIn_data();
    void listOrderFillIn();
    void columnWidthRule_data();
    void columnWidthRule();
    void widthsComeFromTheFirstSixtyRows();
    void emptyListShowsZeroRecords();
    void loadMakesTheSecondWebsiteCurrent_data();
    void loadMakesTheSecondWebsiteCurrent();
    void clickSelectsTheWholeRowAndCountsAsActivity();
    void doubleClickOpensOnlyRecordRows();
    void deleteKeyRemovesWebsiteAndItsInstructions();
    void deleteOnTheOnlyRowAndOnTheHeading();
    void moveUpAndDownThenSave();
    void addAndRefreshRowsAfterAnEdit();
    void closeBoxSavesTheSizeOfTheMode_data();
    void closeBoxSavesTheSizeOfTheMode();
    void launcherListClickMakesTheGridRowCurrent();
    void switchingModesShowsTheNewOrder();
    void exitInLauncherModeStoresItsSizeAndEnds();
    void resizeMinimums_data();
    void resizeMinimums();
    void hoverColours();
    void failingCommandIsReportedAndTheProgramGoesOn();
    void missingDataFileAtStartIsReported();
};

void TestWebsiteWindow::init()
{
    gblnDefaultToLauncher = false;
    gdblMinutesLeft = gdblRelockMinutes = 0;
}

void TestWebsiteWindow::fillShowsWebsitesInListOrder()
{
    WebsiteWindowFixture fixture({{"Bank", "https://bank.test", 2},
                                  {"O'Brien's \"Mail\"", "https://mail.test/?a=1&b='2'", 1},
                                  {"Never placed", "", QVariant()}});
    QVERIFY(fixture.load());
    const FlexGrid& grid = *fixture.window->MSFlexGrid1;
    QCOMPARE(grid.cols(), 5);
    QCOMPARE((QStringList{grid.textMatrix(0, 0), grid.textMatrix(0, 1), grid.textMatrix(0, 2), grid.textMatrix(0, 3)}),
             (QStringList{"Website ID", "Website Name", "Website Link", "Website List Order"}));
    QCOMPARE(gridColumn(grid, 1), (QStringList{"Never placed", "O'Brien's \"Mail\"", "Bank"}));
    QCOMPARE(gridColumn(grid, 2), (QStringList{"", "https://mail.test/?a=1&b='2'", "https://bank.test"}));
    QCOMPARE(gridColumn(grid, 0), (QStringList{"3", "2", "1"}));
    for (int hidden : {0, 3, 4})
        QCOMPARE(grid.colWidth(hidden), 0.0);
    QVERIFY(grid.colWidth(1) > 0 && grid.colWidth(2) > 0);
    QCOMPARE(listTexts(*fixture.window->lstWebsites), gridColumn(grid, 1));
}

void TestWebsiteWindow::listOrderFillIn_data()
{
    QTest::addColumn<QVariantList>("stored");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("nulls first then stored")
        << QVariantList{QVariant(), QVariant(), 5, 7} << QStringList{"1", "2", "5", "7"};
    QTest::newRow("stored order equal to a filled-in one is kept")
        << QVariantList{QVariant(), QVariant(), 2} << QStringList{"1", "2", "2"};
    QTest::newRow("all stored") << QVariantList{3, 9} << QStringList{"3", "9"};
}

void TestWebsiteWindow::listOrderFillIn()
{
    QFETCH(QVariantList, stored);
    QFETCH(QStringList, shown);
    QList<WebsiteSeed> websites;
    for (const QVariant& order : stored)
        websites.append({QStringLiteral("site"), QStringLiteral("link"), order});
    WebsiteWindowFixture fixture(websites);
    QVERIFY(fixture.load());
    QCOMPARE(gridColumn(*fixture.window->MSFlexGrid1, 3), shown);
    QCOMPARE(gridColumn(*fixture.window->MSFlexGrid1, 4), shown);
    // nothing is written back
    QCOMPARE(fixture.column(QStringLiteral("SELECT count(*) FROM Website WHERE WebsiteListOrder IS NULL")),
             QStringList{QString::number(stored.count(QVariant()))});
}

void TestWebsiteWindow::columnWidthRule_data()
{
    QTest::addColumn<double>("widest");
    QTest::addColumn<double>("width");
    QTest::newRow("nothing") << 0.0 << 600.0;
    QTest::newRow("narrow raised to the minimum") << 100.0 << 600.0;
    QTest::newRow("1200") << 1200.0 << 1600.0;
    QTest::newRow("3000") << 3000.0 << 3250.0;
    QTest::newRow("7000 stays") << 7000.0 << 7000.0;
    QTest::newRow("9000 is cut") << 9000.0 << 8000.0;
}

void TestWebsiteWindow::columnWidthRule()
{
    QFETCH(double, widest);
    QFETCH(double, width);
    QCOMPARE(RecordListGrid::ColumnWidthFor(widest), width);
}

void TestWebsiteWindow::widthsComeFromTheFirstSixtyRows()
{
    // A long name widens its column only among the heading and the first 60 record rows.
    auto nameWidthWithLongNameAt = [](int index) {
        QList<WebsiteSeed> websites = numberedWebsites(70);
        websites[index].name = QString(40, QLatin1Char('W'));
        WebsiteWindowFixture fixture(websites);
        return fixture.load() ? fixture.window->MSFlexGrid1->colWidth(1) : -1.0;
    };
    const double plain = nameWidthWithLongNameAt(69);
    QVERIFY(plain >= RecordListGrid::MinColumnWidth);
    QCOMPARE(nameWidthWithLongNameAt(60), plain); // record row 61: not measured
    QVERIFY(nameWidthWithLongNameAt(59) > plain); // record row 60: measured
}

void TestWebsiteWindow::emptyListShowsZeroRecords()
{
    WebsiteWindowFixture fixture({});
    QVERIFY(fixture.load());
    const FlexGrid& grid = *fixture.window->MSFlexGrid1;
    QCOMPARE(grid.rows(), 1);
    QCOMPARE(grid.textMatrix(0, 0), QStringLiteral("0 Records"));
    QCOMPARE(grid.colWidth(0), 1000.0);
    QCOMPARE(fixture.window->lstWebsites->count(), 0);
    fixture.window->LaunchWebsite(); // no website row: nothing happens
    QVERIFY(fixture.dialogs.messages.isEmpty());
}

void TestWebsiteWindow::loadMakesTheSecondWebsiteCurrent_data()
{
    QTest::addColumn<int>("websites");
    QTest::addColumn<int>("currentRow");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("one: that one") << 1 << 1;
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("many") << 9 << 2;
}

void TestWebsiteWindow::loadMakesTheSecondWebsiteCurrent()
{
    QFETCH(int, websites);
    QFETCH(int, currentRow);
    WebsiteWindowFixture fixture(numberedWebsites(websites));
    QVERIFY(fixture.load());
    QCOMPARE(fixture.window->MSFlexGrid1->row(), currentRow);
}

void TestWebsiteWindow::clickSelectsTheWholeRowAndCountsAsActivity()
{
    WebsiteWindowFixture fixture(numberedWebsites(5));
    QVERIFY(fixture.load());
    gdblRelockMinutes = 9;
    gdblMinutesLeft = 1;
    FlexGrid& grid = *fixture.window->MSFlexGrid1;
    clickRow(grid, 4);
    QCOMPARE(grid.row(), 4);
    QCOMPARE(grid.rowSel(), 4);
    QCOMPARE(grid.col(), 0);
    QCOMPARE(grid.colSel(), grid.cols() - 1);
    QCOMPARE(gdblMinutesLeft, 9.0);

    gdblMinutesLeft = 1;
    fixture.window->cmdUp_Click();
    fixture.window->cmdSaveListOrder_Click();
    QCOMPARE(gdblMinutesLeft, 1.0); // moving and saving the order are not counted
}

void TestWebsiteWindow::doubleClickOpensOnlyRecordRows()
{
    WebsiteWindowFixture empty({});
    QVERIFY(empty.load());
    gblnNewRecord = true;
    empty.window->mWebsiteID = 77;
    empty.window->MSFlexGrid1_DblClick();
    QCOMPARE(empty.window->mWebsiteID, 77.0);
    QVERIFY(gblnNewRecord);

    WebsiteWindowFixture fixture(numberedWebsites(3), {"DefaultToLauncher = 1"});
    QVERIFY(fixture.load());
    QVERIFY(gblnDefaultToLauncher);
    fixture.window->MSFlexGrid1->setRow(3);
    fixture.window->MSFlexGrid1_DblClick();
    QCOMPARE(fixture.window->mWebsiteID, 3.0);
    QVERIFY(!gblnNewRecord);
    QVERIFY(!gblnDefaultToLauncher); // closing now ends the program instead of returning to the launcher
}

void TestWebsiteWindow::deleteKeyRemovesWebsiteAndItsInstructions()
{
    WebsiteWindowFixture fixture(named({"a", "b", "c"}));
    fixture.folder.execute({"INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (2, 4)",
                            "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (2, 1)",
                            "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (3, 2)"});
    QVERIFY(fixture.load());
    FlexGrid& grid = *fixture.window->MSFlexGrid1;
    clickRow(grid, 2);
    int deleteKey = 46;
    emit grid.keyDown(deleteKey, 0);

    QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteID"), (QStringList{"1", "3"}));
    QCOMPARE(fixture.column("SELECT WebsiteID FROM WebsiteInstructions"), QStringList{"3"});
    QCOMPARE(gridColumn(grid, 1), (QStringList{"a", "c"}));
    QCOMPARE(fixture.window->mWebsiteID, 2.0);
    // the row that moved up into the deleted row's place is selected whole
    QCOMPARE(grid.row(), 2);
    QCOMPARE(grid.col(), 0);
    QCOMPARE(grid.colSel(), grid.cols() - 1);
    QVERIFY(!gobjConnection);
    QVERIFY(fixture.dialogs.messages.isEmpty());
}

void TestWebsiteWindow::deleteOnTheOnlyRowAndOnTheHeading()
{
    WebsiteWindowFixture fixture(named({"only"}));
    QVERIFY(fixture.load());
    FlexGrid& grid = *fixture.window->MSFlexGrid1;
    fixture.window->cmdDelete_Click();
    QCOMPARE(grid.rows(), 1);
    QVERIFY(fixture.column("SELECT count(*) FROM Website") == QStringList{"0"});
    fixture.window->cmdDelete_Click(); // only the heading row is left: nothing happens
    QCOMPARE(grid.rows(), 1);
    QVERIFY(fixture.dialogs.messages.isEmpty());
}

void TestWebsiteWindow::moveUpAndDownThenSave()
{
    WebsiteWindowFixture fixture(named({"a", "b", "c", "d"}));
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    FlexGrid& grid = *window.MSFlexGrid1;
    const QStringList before = gridColumn(grid, 1);
    grid.setRow(3);
    window.cmdUp_Click();
    window.cmdDown_Click();
    QCOMPARE(gridColumn(grid, 1), before);
    QCOMPARE(grid.row(), 3);
    for (auto [row, move] : {std::pair{1, &frmWebsite::cmdUp_Click}, std::pair{4, &frmWebsite::cmdDown_Click},
                             std::pair{0, &frmWebsite::cmdUp_Click}, std::pair{0, &frmWebsite::cmdDown_Click}}) {
        grid.setRow(row);
        (window.*move)(); // first up, last down and the heading row do not move
    }
    QCOMPARE(gridColumn(grid, 1), before);

    grid.setRow(3);
    window.cmdUp_Click();
    window.cmdUp_Click();
    QCOMPARE(gridColumn(grid, 1), (QStringList{"c", "a", "b", "d"}));
    QCOMPARE(gridColumn(grid, 0), (QStringList{"3", "1", "2", "4"})); // hidden columns move too
    QCOMPARE(grid.row(), 1);
    QCOMPARE(grid.colSel(), grid.cols() - 1);
    QCOMPARE(fixture.column("SELECT WebsiteListOrder FROM Website ORDER BY WebsiteID"),
             (QStringList{"1", "2", "3", "4"})); // nothing is written before the save

    window.cmdSaveListOrder_Click();
    QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteListOrder"),
             (QStringList{"3", "1", "2", "4"}));
    QCOMPARE(fixture.column("SELECT WebsiteListOrder FROM Website ORDER BY WebsiteListOrder"),
             (QStringList{"1", "2", "3", "4"}));
    QVERIFY(!gobjConnection);
}

void TestWebsiteWindow::addAndRefreshRowsAfterAnEdit()
{
    WebsiteWindowFixture fixture(numberedWebsites(45));
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    FlexGrid& grid = *window.MSFlexGrid1;
    seedWebsites(fixture.folder.dataFilePath(), {{"Newest", "https://new.test", QVariant()}});

    OpenConnection();
    window.AddGridRow();
    CloseConnection();
    QCOMPARE(window.mWebsiteID, 46.0);
    QCOMPARE(grid.rows(), 47);
    QCOMPARE(grid.cols(), 3); // the hidden order columns are gone until the next fill
    QCOMPARE(grid.textMatrix(46, 0), QStringLiteral("46"));
    QCOMPARE(grid.textMatrix(46, 1), QStringLiteral("Newest"));
    QCOMPARE(grid.textMatrix(46, 2), QStringLiteral("https://new.test"));
    QVERIFY(grid.topRow() > 1); // scrolled towards the new row

    // another program renames website 5; the refresh of its row shows the new name
    fixture.folder.execute({QStringLiteral("UPDATE Website SET WebsiteName = (SELECT WebsiteName FROM Website "
                                           "WHERE WebsiteID = 46) WHERE WebsiteID = 5")});
    grid.setRow(5);
    window.mWebsiteID = 5;
    OpenConnection();
    window.UpdateGridRow();
    CloseConnection();
    QCOMPARE(grid.textMatrix(5, 1), QStringLiteral("Newest"));
    QCOMPARE(grid.textMatrix(5, 0), QStringLiteral("5"));
}

void TestWebsiteWindow::closeBoxSavesTheSizeOfTheMode_data()
{
    QTest::addColumn<bool>("defaultToLauncher");
    QTest::addColumn<bool>("startInMaintenance");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("savedColumns");
    QTest::newRow("maintenance only") << false << true << true << "FormWidth, FormHeight";
    QTest::newRow("maintenance returns to the launcher") << true << true << false << "FormWidth, FormHeight";
    QTest::newRow("launcher") << true << false << true << "LauncherWidth, LauncherHeight";
}

void TestWebsiteWindow::closeBoxSavesTheSizeOfTheMode()
{
    QFETCH(bool, defaultToLauncher);
    QFETCH(bool, startInMaintenance);
    QFETCH(bool, closes);
    QFETCH(QString, savedColumns);
    WebsiteWindowFixture fixture(
        named({"a", "b"}), {QStringLiteral("DefaultToLauncher = %1").arg(defaultToLauncher ? 1 : 0), "FormWidth = 9000",
                            "FormHeight = 7000", "LauncherWidth = 4200", "LauncherHeight = 5100"});
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    if (defaultToLauncher && startInMaintenance)
        window.lblMaintenance_Click();
    QCOMPARE(window.launcherShown(), !startInMaintenance);
    window.setWidth(startInMaintenance ? 9900 : 4500);
    window.setHeight(startInMaintenance ? 7500 : 5400);
    const QString expected = QStringLiteral("%1|%2").arg(window.Width()).arg(window.Height());

    QCOMPARE(closeBox(window), closes);
    QCOMPARE(fixture.column(QStringLiteral("SELECT %1 || '|' || %2 FROM Setup")
                                .arg(savedColumns.section(", ", 0, 0), savedColumns.section(", ", 1, 1))),
             QStringList{expected});
    if (!closes) {
        QVERIFY(window.launcherShown());
        QCOMPARE(window.Width(), 4200.0);
        QCOMPARE(window.Height(), 5100.0);
    }
    QCOMPARE(fixture.dialogs.endProgramCalls, 0);
}

void TestWebsiteWindow::launcherListClickMakesTheGridRowCurrent()
{
    WebsiteWindowFixture fixture(numberedWebsites(6), {"DefaultToLauncher = 1"});
    QVERIFY(fixture.load());
    QListWidget& list = *fixture.window->lstWebsites;
    QCoreApplication::processEvents();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(3)).center());
    QCOMPARE(list.currentRow(), 3);
    QCOMPARE(fixture.window->MSFlexGrid1->row(), 4);
}

void TestWebsiteWindow::switchingModesShowsTheNewOrder()
{
    WebsiteWindowFixture fixture(named({"a", "b", "c"}),
                                 {"DefaultToLauncher = 1", "FormWidth = 9000", "FormHeight = 6900",
                                  "LauncherWidth = 4200", "LauncherHeight = 5100"});
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    QVERIFY(window.launcherShown());
    QCOMPARE(window.Width(), 4200.0);
    QCOMPARE(window.Height(), 5100.0);

    window.lblMaintenance_Click();
    QVERIFY(!window.launcherShown());
    QCOMPARE(window.Width(), 9000.0);
    QCOMPARE(window.Height(), 6900.0);
    QCOMPARE(fixture.column("SELECT LauncherWidth || '|' || LauncherHeight FROM Setup"), QStringList{"4200|5100"});

    window.MSFlexGrid1->setRow(3);
    window.cmdUp_Click();
    window.cmdUp_Click();
    window.cmdDelete_Click(); // the moved "c" is current: it goes
    window.cmdClose_Click();
    QVERIFY(window.launcherShown());
    QCOMPARE(listTexts(*window.lstWebsites), (QStringList{"a", "b"}));
    QCOMPARE(window.Width(), 4200.0);
    QCOMPARE(fixture.dialogs.endProgramCalls, 0);
}

void TestWebsiteWindow::exitInLauncherModeStoresItsSizeAndEnds()
{
    WebsiteWindowFixture fixture(named({"a"}),
                                 {"DefaultToLauncher = 1", "LauncherWidth = 4200", "LauncherHeight = 5100"});
    QVERIFY(fixture.load());
    fixture.window->mnuExit->trigger();
    QCOMPARE(fixture.column("SELECT FormWidth || '|' || FormHeight FROM Setup"), QStringList{"4200|5100"});
    QCOMPARE(fixture.dialogs.endProgramCalls, 1);
}

void TestWebsiteWindow::resizeMinimums_data()
{
    QTest::addColumn<bool>("launcher");
    QTest::addColumn<double>("minWidth");
    QTest::addColumn<double>("minHeight");
    QTest::newRow("maintenance: 3500 wide by 6000 high") << false << 3500.0 << 6000.0;
    QTest::newRow("launcher: 1500 wide by 3000 high") << true << 1500.0 << 3000.0;
}

void TestWebsiteWindow::resizeMinimums()
{
    QFETCH(bool, launcher);
    QFETCH(double, minWidth);
    QFETCH(double, minHeight);
    WebsiteWindowFixture fixture(named({"a", "b"}), {QStringLiteral("DefaultToLauncher = %1").arg(launcher ? 1 : 0)});
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    window.resize(30, 30); // as a user dragging the frame
    // the least whole number of pixels that is not smaller than the minimum
    const double width = std::ceil(minWidth / 15) * 15;
    QCOMPARE(window.Width(), width);
    QCOMPARE(window.Height(), std::ceil(minHeight / 15) * 15);
    if (launcher) {
        QCOMPARE(window.fraLauncher->width() * 15.0, width);
        QCOMPARE(window.lstWebsites->width() * 15.0, width - 180);
    } else {
        const FlexGrid& grid = *window.MSFlexGrid1;
        QCOMPARE(grid.width(), window.ScaleWidth() - 2 * grid.left());
        QCOMPARE(grid.left(), 180.0);
    }
}

void TestWebsiteWindow::hoverColours()
{
    WebsiteWindowFixture fixture(named({"a"}), {"DefaultToLauncher = 1"});
    QVERIFY(fixture.load());
    frmWebsite& window = *fixture.window;
    emit window.lblLaunch->mouseMoved();
    QCOMPARE(window.lblLaunch->foreColor(), 0x000000FFu);
    QCOMPARE(window.lblMaintenance->foreColor(), 0x0000C000u);
    emit window.lblMaintenance->mouseMoved();
    QCOMPARE(window.lblMaintenance->foreColor(), 0x000000FFu);
    QCOMPARE(window.lblLaunch->foreColor(), 0x0000C000u);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.lstWebsites->viewport(), &move);
    QCOMPARE(window.lblMaintenance->foreColor(), 0x0000C000u);
    QCOMPARE(window.lblLaunch->caption(), QStringLiteral("&Launch"));
}

void TestWebsiteWindow::failingCommandIsReportedAndTheProgramGoesOn()
{
    WebsiteWindowFixture fixture(named({"a", "b"}));
    QVERIFY(fixture.load());
    const QString saved = fixture.folder.dataFilePath() + QStringLiteral(".away");
    QVERIFY(QFile::rename(fixture.folder.dataFilePath(), saved));
    fixture.window->cmdSaveListOrder_Click();
    QCOMPARE(fixture.dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& message = fixture.dialogs.messages.first();
    QVERIFY2(message.prompt.startsWith(QStringLiteral("Error No: -2147467259 ")), qPrintable(message.prompt));
    QVERIFY(message.prompt.contains(QStringLiteral("Quillock.mdb")));
    QVERIFY(message.title.isEmpty()); // the application's title, Quillock
    QCOMPARE(message.style, 0);

    QVERIFY(QFile::rename(saved, fixture.folder.dataFilePath()));
    fixture.window->cmdUp_Click();
    fixture.window->cmdSaveListOrder_Click();
    QCOMPARE(fixture.dialogs.messages.size(), 1);
    QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteListOrder"), (QStringList{"2", "1"}));
}

void TestWebsiteWindow::missingDataFileAtStartIsReported()
{
    WebsiteWindowFixture fixture({});
    QVERIFY(QFile::remove(fixture.folder.dataFilePath()));
    QVERIFY(!fixture.load());
    QCOMPARE(fixture.dialogs.messages.size(), 1);
    QVERIFY(fixture.dialogs.messages.first().prompt.contains(QStringLiteral("does not exist")));
    QVERIFY(!QFile::exists(fixture.folder.dataFilePath()));
}

QTEST_MAIN(TestWebsiteWindow)
#include "tst_website_window.moc"
