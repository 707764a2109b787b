// The main window on a real data file in a temporary folder: the website grid, deleting, the list order,
// the saved sizes, launcher mode and the switches between the modes.

#include "WebsiteWindowFixture.h"
#include "app/UnitOfWork.h"
#include "app/basModule1.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "support/RecordingShell.h"
#include "ui/main/CommandLabel.h"
#include "ui/main/RecordListGrid.h"

#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <unistd.h>

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
    for (const QListWidgetItem* item : list.findItems(QStringLiteral("*"), Qt::MatchWildcard))
        texts << item->text();
    return texts;
}

QList<WebsiteSeed> named(const QStringList& names)
{
    QList<WebsiteSeed> websites;
    for (int i = 0; i < names.size(); ++i)
        websites.append({names[i], QStringLiteral("https://%1.test/login").arg(names[i]), i + 1});
    return websites;
}

QTableView& view(FlexGrid& grid)
{
    QCoreApplication::processEvents(); // the view learns of new rows once the event loop turns
    return *grid.findChild<QTableView*>();
}

// Clicks a record row the way a user does, in the website name column.
void clickRow(FlexGrid& grid, int row)
{
    QTableView& cells = view(grid);
    QTest::mouseClick(cells.viewport(), Qt::LeftButton, {},
                      cells.visualRect(cells.model()->index(row - 1, 1)).center());
}

bool closeBox(frmWebsite& window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(&window, &event);
    return event.isAccepted();
}

QString sizeText(const QWidget& widget)
{
    return QStringLiteral("%1|%2").arg(FormSize::width(widget)).arg(FormSize::height(widget));
}

// Makes the data file refuse every change of the settings row. The file is made read-only; where that does not
// stop writes (a test run as root), a trigger refuses them with SQLite's own words.
void makeSetupReadOnly(const TempDataFolder& folder)
{
    const QString path = folder.dataFilePath();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (::access(QFile::encodeName(path).constData(), W_OK) == 0)
        folder.execute({"CREATE TRIGGER ReadOnly BEFORE UPDATE ON Setup "
                        "BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"});
}

} // namespace

class TestWebsiteWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        gblnDefaultToLauncher = false;
        gdblMinutesLeft = gdblRelockMinutes = 0;
    }

    // Names and links deciphered, quotes and all; websites never placed in the list come first and are numbered
    // on from the one before (keeping a stored order equal to a filled-in one), without writing anything back.
    void fillShowsWebsitesInListOrder()
    {
        WebsiteWindowFixture fixture({{"Bank", "https://bank.test", 2},
                                      {"O'Brien's \"Mail\"", "https://mail.test/?a=1&b='2'", 1},
                                      {"Never placed", "", QVariant()},
                                      {"Nor this", "https://nor.test", QVariant()}});
        QVERIFY(fixture.load());
        const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        QCOMPARE(grid.cols(), 5);
        QCOMPARE(
            (QStringList{grid.textMatrix(0, 0), grid.textMatrix(0, 1), grid.textMatrix(0, 2), grid.textMatrix(0, 3)}),
            (QStringList{"Website ID", "Website Name", "Website Link", "Website List Order"}));
        QCOMPARE(gridColumn(grid, 1), (QStringList{"Never placed", "Nor this", "O'Brien's \"Mail\"", "Bank"}));
        QCOMPARE(gridColumn(grid, 2),
                 (QStringList{"", "https://nor.test", "https://mail.test/?a=1&b='2'", "https://bank.test"}));
        QCOMPARE(gridColumn(grid, 0), (QStringList{"3", "4", "2", "1"}));
        QCOMPARE(gridColumn(grid, 3), (QStringList{"1", "2", "1", "2"}));
        QCOMPARE(gridColumn(grid, 4), gridColumn(grid, 3));
        QCOMPARE(fixture.column("SELECT count(*) FROM Website WHERE WebsiteListOrder IS NULL"), QStringList{"2"});
        for (int hidden : {0, 3, 4})
            QCOMPARE(grid.colWidth(hidden), 0.0);
        QVERIFY(grid.colWidth(1) > 0 && grid.colWidth(2) > 0);
        const auto& list = fixture.control<QListWidget>("lstWebsites");
        QCOMPARE(listTexts(list), gridColumn(grid, 1));
        QCOMPARE(grid.accessibleName(), QStringLiteral("Websites"));
        QCOMPARE(list.accessibleName(), QStringLiteral("Websites"));
    }

    void columnWidthRule_data()
    {
        QTest::addColumn<double>("widest");
        QTest::addColumn<double>("width");
        QTest::newRow("narrow raised to the minimum") << 100.0 << 600.0;
        QTest::newRow("3000") << 3000.0 << 3250.0;
        QTest::newRow("7000 stays") << 7000.0 << 7000.0;
        QTest::newRow("9000 is cut") << 9000.0 << 8000.0;
    }

    void columnWidthRule()
    {
        QFETCH(double, widest);
        QFETCH(double, width);
        QCOMPARE(RecordListGrid::ColumnWidthFor(widest), width);
    }

    void widthsComeFromTheFirstSixtyRows()
    {
        // A long name widens its column only among the heading and the first 60 record rows.
        auto nameWidthWithLongNameAt = [](int index) {
            QList<WebsiteSeed> websites = numberedWebsites(70);
            websites[index].name = QString(40, QLatin1Char('W'));
            WebsiteWindowFixture fixture(websites);
            return fixture.load() ? fixture.control<FlexGrid>("MSFlexGrid1").colWidth(1) : -1.0;
        };
        const double plain = nameWidthWithLongNameAt(69);
        QVERIFY(plain >= RecordListGrid::MinColumnWidth);
        QCOMPARE(nameWidthWithLongNameAt(60), plain); // record row 61: not measured
        QVERIFY(nameWidthWithLongNameAt(59) > plain); // record row 60: measured
    }

    // A new data file: every button shows at the first start, and the second website is current (an only one is).
    void load_data()
    {
        QTest::addColumn<int>("websites");
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<double>("firstColumnWidth");
        QTest::newRow("none") << 0 << 0 << "0 Records" << 1000.0;
        QTest::newRow("one: that one") << 1 << 1 << "Website ID" << 0.0;
        QTest::newRow("two") << 2 << 2 << "Website ID" << 0.0;
        QTest::newRow("many") << 9 << 2 << "Website ID" << 0.0;
    }

    void load()
    {
        QFETCH(int, websites);
        QFETCH(int, currentRow);
        QFETCH(QString, heading);
        QFETCH(double, firstColumnWidth);
        WebsiteWindowFixture fixture(numberedWebsites(websites));
        QVERIFY(fixture.load());
        const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        QCOMPARE(grid.row(), currentRow);
        QCOMPARE(grid.textMatrix(0, 0), heading);
        QCOMPARE(grid.colWidth(0), firstColumnWidth);
        QCOMPARE(fixture.control<QListWidget>("lstWebsites").count(), websites);
        const QRect inner = fixture.window->centralWidget()->rect();
        for (const QPushButton* button : fixture.window->findChildren<QPushButton*>())
            QVERIFY2(inner.contains(button->geometry()), qPrintable(button->objectName()));
        if (websites == 0) { // no record row: launching and opening do nothing
            gblnNewRecord = true;
            fixture.click("cmdLaunch");
            emit fixture.control<FlexGrid>("MSFlexGrid1").dblClick();
            QVERIFY(gblnNewRecord);
            QCOMPARE(fixture.window->mWebsiteID, 0.0);
            QVERIFY(fixture.dialogs.messages.isEmpty());
        }
    }

    void clicksCountAsActivity()
    {
        WebsiteWindowFixture fixture(numberedWebsites(5));
        QVERIFY(fixture.load());
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        clickRow(grid, 4);
        QCOMPARE(grid.row(), 4);
        QCOMPARE(grid.rowSel(), 4);
        QCOMPARE(grid.col(), 0);
        QCOMPARE(grid.colSel(), grid.cols() - 1);
        QCOMPARE(gdblMinutesLeft, 9.0);

        gdblMinutesLeft = 1;
        fixture.click("cmdUp");
        fixture.click("cmdSaveListOrder");
        QCOMPARE(gdblMinutesLeft, 1.0); // moving and saving the order are not counted

        // The heading row counts like any other; a double-click on it opens nothing.
        QWidget* heading = view(grid).horizontalHeader()->viewport();
        QTest::mouseClick(heading, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(gdblMinutesLeft, 9.0);
        gdblMinutesLeft = 1;
        fixture.window->mWebsiteID = 0;
        QTest::mouseDClick(heading, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE(fixture.window->mWebsiteID, 0.0);

        // A double-click on a record row opens it; closing then ends the program instead of returning to the
        // launcher.
        gblnDefaultToLauncher = gblnNewRecord = true;
        grid.setRow(3);
        QString opened;
        fixture.answerNextWindow([&](QDialog& editor) {
            opened = editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteName"))->text();
            editor.reject();
        });
        emit grid.dblClick();
        QCOMPARE(opened, QStringLiteral("Website 4")); // moved up to row 3 above
        QCOMPARE(fixture.window->mWebsiteID, 4.0);
        QVERIFY(!gblnNewRecord);
        QVERIFY(!gblnDefaultToLauncher);
    }

    void deleteRemovesWebsiteAndItsInstructions()
    {
        WebsiteWindowFixture fixture(named({"a", "b", "c"}));
        fixture.folder.execute({"INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (2, 4)",
                                "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (2, 1)",
                                "INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (3, 2)"});
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        clickRow(grid, 2);
        QTest::keyClick(&view(grid), Qt::Key_Delete);

        QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteID"), (QStringList{"1", "3"}));
        QCOMPARE(fixture.column("SELECT WebsiteID FROM WebsiteInstructions"), QStringList{"3"});
        QCOMPARE(gridColumn(grid, 1), (QStringList{"a", "c"}));
        QCOMPARE(fixture.window->mWebsiteID, 2.0);
        // the row that moved up into the deleted row's place is selected whole
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 0);
        QCOMPARE(grid.colSel(), grid.cols() - 1);
        QVERIFY(!gobjConnection);

        // down to the heading row, where Delete does nothing
        for (int i = 0; i < 3; ++i)
            fixture.click("cmdDelete");
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(fixture.column("SELECT count(*) FROM Website"), QStringList{"0"});
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    void moveUpAndDownThenSave()
    {
        WebsiteWindowFixture fixture(named({"a", "b", "c", "d"}));
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        const QStringList before = gridColumn(grid, 1);
        grid.setRow(3);
        fixture.click("cmdUp");
        fixture.click("cmdDown");
        QCOMPARE(gridColumn(grid, 1), before);
        QCOMPARE(grid.row(), 3);
        for (auto [row, move] :
             {std::pair{1, "cmdUp"}, std::pair{4, "cmdDown"}, std::pair{0, "cmdUp"}, std::pair{0, "cmdDown"}}) {
            grid.setRow(row);
            fixture.click(move); // first up, last down and the heading row do not move
        }
        QCOMPARE(gridColumn(grid, 1), before);

        grid.setRow(3);
        fixture.click("cmdUp");
        fixture.click("cmdUp");
        QCOMPARE(gridColumn(grid, 1), (QStringList{"c", "a", "b", "d"}));
        QCOMPARE(gridColumn(grid, 0), (QStringList{"3", "1", "2", "4"})); // hidden columns move too
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.colSel(), grid.cols() - 1);
        QCOMPARE(fixture.column("SELECT WebsiteListOrder FROM Website ORDER BY WebsiteID"),
                 (QStringList{"1", "2", "3", "4"})); // nothing is written before the save

        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteListOrder"),
                 (QStringList{"3", "1", "2", "4"}));
        QCOMPARE(fixture.column("SELECT WebsiteListOrder FROM Website ORDER BY WebsiteListOrder"),
                 (QStringList{"1", "2", "3", "4"}));
        QVERIFY(!gobjConnection);

        // A save that fails is reported, and the program goes on.
        const QString away = fixture.folder.dataFilePath() + QStringLiteral(".away");
        QVERIFY(QFile::rename(fixture.folder.dataFilePath(), away));
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message& message = fixture.dialogs.messages.first();
        QVERIFY2(message.prompt.startsWith(QStringLiteral("Error No: -2147467259 ")), qPrintable(message.prompt));
        QVERIFY(message.prompt.contains(QStringLiteral("Quillock.mdb")));
        QVERIFY(message.title.isEmpty()); // the application's title, Quillock
        QCOMPARE(message.style, 0);
        QVERIFY(!gobjConnection);
        QVERIFY(QFile::rename(away, fixture.folder.dataFilePath()));
        fixture.click("cmdDown");

        // A statement that fails part-way, after two rows have been renumbered, leaves the old order whole.
        fixture.folder.execute({"CREATE TRIGGER Refuse BEFORE UPDATE OF WebsiteListOrder ON Website "
                                "WHEN NEW.WebsiteID = 2 BEGIN SELECT RAISE(ABORT, 'refused part-way'); END"});
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.dialogs.messages.size(), 2);
        QVERIFY(fixture.dialogs.messages.last().prompt.contains(QStringLiteral("refused part-way")));
        QCOMPARE(fixture.column("SELECT WebsiteID || '@' || WebsiteListOrder FROM Website ORDER BY WebsiteID"),
                 (QStringList{"1@2", "2@3", "3@1", "4@4"}));
        QVERIFY(!gobjConnection);
        fixture.folder.execute({"DROP TRIGGER Refuse"});
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteListOrder"),
                 (QStringList{"1", "3", "2", "4"}));
    }

    // An editor adds or changes a website in its own unit of work and refreshes the list inside it, through the
    // list-window interface.
    void refreshesJoinTheEditorsUnitOfWork()
    {
        WebsiteWindowFixture fixture(numberedWebsites(45));
        QVERIFY(fixture.load());
        RecordListWindow& list = *fixture.window;
        const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        seedWebsites(fixture.folder.dataFilePath(), {{"Newest", "https://new.test", QVariant()}});
        {
            UnitOfWork editor;
            list.AddGridRow();
            QVERIFY(gobjConnection && gobjConnection->isOpen()); // still the editor's
        }
        QVERIFY(!gobjConnection);
        QCOMPARE(list.RecordKey(), 46.0);
        QCOMPARE(list.GridRows(), 47);
        QCOMPARE(grid.cols(), 3); // the hidden order columns are gone until the next fill
        QCOMPARE((QStringList{list.GridTextMatrix(46, 0), list.GridTextMatrix(46, 1), list.GridTextMatrix(46, 2)}),
                 (QStringList{"46", "Newest", "https://new.test"}));
        QVERIFY(fixture.control<FlexGrid>("MSFlexGrid1").topRow() > 1); // scrolled towards the new row

        // another program renames website 5; the refresh of its row shows the new name
        fixture.folder.execute({QStringLiteral("UPDATE Website SET WebsiteName = (SELECT WebsiteName FROM Website "
                                               "WHERE WebsiteID = 46) WHERE WebsiteID = 5")});
        fixture.control<FlexGrid>("MSFlexGrid1").setRow(5);
        fixture.window->mWebsiteID = 5;
        {
            UnitOfWork editor;
            list.UpdateGridRow();
        }
        QCOMPARE(list.GridRow(), 5);
        QCOMPARE(list.GridTextMatrix(5, 1), QStringLiteral("Newest"));
        QCOMPARE(list.GridTextMatrix(5, 0), QStringLiteral("5"));
    }

    // The close box, Close and Exit store the size of the mode shown; the close box and Close return to the launcher
    // when it is the default, Exit in launcher mode stores the launcher's size as the maintenance size and ends the
    // program. A size that cannot be stored is reported once, and the closing goes on all the same.
    void closingSavesTheSizeOfTheMode_data()
    {
        QTest::addColumn<bool>("defaultToLauncher");
        QTest::addColumn<bool>("startInMaintenance");
        QTest::addColumn<QString>("command"); // empty for the close box
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("savedColumns");
        QTest::addColumn<bool>("readOnly");
        const QString form = QStringLiteral("FormWidth || '|' || FormHeight");
        const QString launcher = QStringLiteral("LauncherWidth || '|' || LauncherHeight");
        for (bool readOnly : {false, true}) {
            const auto row = [readOnly](const char* name) -> QTestData& {
                return QTest::addRow("%s%s", readOnly ? "read-only: " : "", name);
            };
            row("maintenance only") << false << true << "" << true << form << readOnly;
            row("maintenance returns to the launcher") << true << true << "" << false << form << readOnly;
            row("launcher") << true << false << "" << true << launcher << readOnly;
            row("exit from the launcher") << true << false << "mnuExit" << true << form << readOnly;
            row("Close ends the program") << false << true << "cmdClose" << true << form << readOnly;
            row("Close returns to the launcher") << true << true << "cmdClose" << false << form << readOnly;
        }
    }

    void closingSavesTheSizeOfTheMode()
    {
        QFETCH(bool, defaultToLauncher);
        QFETCH(bool, startInMaintenance);
        QFETCH(QString, command);
        QFETCH(bool, closes);
        QFETCH(QString, savedColumns);
        QFETCH(bool, readOnly);
        WebsiteWindowFixture fixture(named({"a", "b"}),
                                     {QStringLiteral("DefaultToLauncher = %1").arg(defaultToLauncher ? 1 : 0),
                                      "FormWidth = 9000", "FormHeight = 7000", "LauncherWidth = 4200",
                                      "LauncherHeight = 5100"});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        const auto& panel = fixture.control<QWidget>("fraLauncher");
        if (defaultToLauncher && startInMaintenance)
            emit fixture.control<CommandLabel>("lblMaintenance").clicked();
        QCOMPARE(panel.isVisible(), !startInMaintenance);
        FormSize::setWidth(window, startInMaintenance ? 9900 : 4500);
        FormSize::setHeight(window, startInMaintenance ? 7500 : 5400);
        const QString savedQuery = QStringLiteral("SELECT %1 FROM Setup").arg(savedColumns);
        const QStringList expected = readOnly ? fixture.column(savedQuery) : QStringList{sizeText(window)};
        if (readOnly)
            makeSetupReadOnly(fixture.folder);

        if (command.isEmpty())
            QCOMPARE(closeBox(window), closes);
        else
            fixture.click(qPrintable(command));
        QCOMPARE(fixture.column(savedQuery), expected);
        if (!closes) {
            QVERIFY(panel.isVisible());
            if (command.isEmpty()) // Close sizes the window under the grid's minimums first
                QCOMPARE(sizeText(window), QStringLiteral("4200|5100"));
        }
        QCOMPARE(fixture.dialogs.endProgramCalls, !command.isEmpty() && closes ? 1 : 0);
        QCOMPARE(fixture.dialogs.messages.size(), readOnly ? 1 : 0);
        if (readOnly)
            QVERIFY(fixture.dialogs.messages.first().prompt.contains(QStringLiteral("readonly database")));
        QVERIFY(!gobjConnection);
    }

    // Close in maintenance mode returns to the launcher with the names in their new order. The launcher's saved
    // size is below the grid's minimums, which size the window while the panel is still hidden: the panel then
    // covers the whole window all the same, and no maintenance control shows beside or below it.
    void closeReturnsToAWholeLauncher()
    {
        WebsiteWindowFixture fixture(named({"a", "b", "c"}),
                                     {"DefaultToLauncher = 1", "FormWidth = 9000", "FormHeight = 6900",
                                      "LauncherWidth = 2100", "LauncherHeight = 3000"});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        const auto& panel = fixture.control<QWidget>("fraLauncher");
        QVERIFY(panel.isVisible());
        QCOMPARE(sizeText(window), QStringLiteral("2100|3000"));
        auto& list = fixture.control<QListWidget>("lstWebsites");
        QCoreApplication::processEvents();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
        QCOMPARE(fixture.control<FlexGrid>("MSFlexGrid1").row(), 3); // a name makes its grid row current

        emit fixture.control<CommandLabel>("lblMaintenance").clicked();
        QVERIFY(!panel.isVisible());
        QCOMPARE(sizeText(window), QStringLiteral("9000|6900"));
        QCOMPARE(fixture.column("SELECT LauncherWidth || '|' || LauncherHeight FROM Setup"), QStringList{"2100|3000"});

        fixture.click("cmdUp");
        fixture.click("cmdUp");
        fixture.click("cmdDelete"); // the moved "c" is current: it goes
        fixture.click("cmdClose");
        QVERIFY(panel.isVisible());
        QCOMPARE(listTexts(list), (QStringList{"a", "b"}));
        QCOMPARE(sizeText(window), QStringLiteral("3510|6000"));
        QVERIFY(panel.geometry().contains(window.centralWidget()->rect()));
        QCOMPARE(fixture.dialogs.endProgramCalls, 0);
    }

    void resizeMinimums_data()
    {
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<double>("minWidth");
        QTest::addColumn<double>("minHeight");
        QTest::newRow("maintenance: 3500 wide by 6000 high") << false << 3500.0 << 6000.0;
        QTest::newRow("launcher: 1500 wide by 3000 high") << true << 1500.0 << 3000.0;
    }

    void resizeMinimums()
    {
        QFETCH(bool, launcher);
        QFETCH(double, minWidth);
        QFETCH(double, minHeight);
        WebsiteWindowFixture fixture(named({"a", "b"}),
                                     {QStringLiteral("DefaultToLauncher = %1").arg(launcher ? 1 : 0)});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        window.resize(30, 30); // as a user dragging the frame
        // the least whole number of pixels that is not smaller than the minimum
        const double width = std::ceil(minWidth / 15) * 15;
        QCOMPARE(FormSize::width(window), width);
        QCOMPARE(FormSize::height(window), std::ceil(minHeight / 15) * 15);
        if (launcher) {
            QCOMPARE(fixture.control<QWidget>("fraLauncher").width() * 15.0, width);
            QCOMPARE(fixture.control<QListWidget>("lstWebsites").width() * 15.0, width - 180);
        } else {
            const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
            QCOMPARE(grid.width(), width - 2 * grid.left());
            QCOMPARE(grid.left(), 180.0);
        }
    }

    // Saved sizes far beyond any screen open a window that fills the free part of the screen with its title bar on
    // the screen, in either mode and after switching between them.
    void savedSizesAreLimitedToTheScreen_data()
    {
        QTest::addColumn<bool>("defaultToLauncher");
        QTest::newRow("maintenance") << false;
        QTest::newRow("launcher, then maintenance and back") << true;
    }

    void savedSizesAreLimitedToTheScreen()
    {
        QFETCH(bool, defaultToLauncher);
        WebsiteWindowFixture fixture(named({"a", "b"}),
                                     {QStringLiteral("DefaultToLauncher = %1").arg(defaultToLauncher ? 1 : 0),
                                      "FormWidth = 99999999", "FormHeight = 99999999", "LauncherWidth = 99999999",
                                      "LauncherHeight = 99999999"});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        const QRect room = window.screen()->availableGeometry();
        // The window fills the room, with its title bar on the screen; once it has been shown, its frame fits too.
        const auto fillsTheRoom = [&](bool frameKnown) {
            const QRect frame = window.frameGeometry();
            const QSize margins = frame.size() - window.size();
            QVERIFY(window.width() >= room.width() - margins.width());
            QVERIFY(window.height() >= room.height() - margins.height());
            QVERIFY(room.contains(frameKnown ? frame : QRect(frame.topLeft(), window.size())));
        };
        fillsTheRoom(false);
        if (defaultToLauncher && !QTest::currentTestFailed()) {
            emit fixture.control<CommandLabel>("lblMaintenance").clicked();
            fillsTheRoom(true);
            fixture.click("cmdClose");
            QVERIFY(fixture.control<QWidget>("fraLauncher").isVisible());
            fillsTheRoom(true);
        }
    }

    void hoverColours()
    {
        WebsiteWindowFixture fixture(named({"a"}), {"DefaultToLauncher = 1"});
        QVERIFY(fixture.load());
        auto& launch = fixture.control<CommandLabel>("lblLaunch");
        auto& maintenance = fixture.control<CommandLabel>("lblMaintenance");
        const auto colours = [&] { return std::pair{launch.foreColor(), maintenance.foreColor()}; };
        constexpr unsigned int red = 0x000000FF;
        constexpr unsigned int green = 0x0000C000;
        emit launch.mouseMoved();
        QCOMPARE(colours(), std::pair(red, green));
        emit maintenance.mouseMoved();
        QCOMPARE(colours(), std::pair(green, red));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(fixture.control<QListWidget>("lstWebsites").viewport(), &move);
        QCOMPARE(colours(), std::pair(green, green));
    }

    // Help counts as activity and opens the page beside the program; Contact Us does not count. Both go to the
    // desktop's browser with the main window as owner.
    void supportCommandsOpenTheirPages_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("page"); // a file in the program folder, or an address
        QTest::addColumn<double>("minutesLeft");
        QTest::newRow("Help") << "mnuHelp"
                              << "quillock-help.html" << 9.0;
        QTest::newRow("Contact Us") << "mnuContactUs"
                                    << "https://quillock.example/mail.html?sc=app" << 1.0;
    }
    void supportCommandsOpenTheirPages()
    {
        QFETCH(QString, command);
        QFETCH(QString, page);
        QFETCH(double, minutesLeft);
        WebsiteWindowFixture fixture(numberedWebsites(2));
        QVERIFY(fixture.load());
        Desktop::RecordingShell shell;
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        fixture.click(command.toLatin1().constData());
        const QString expected =
            page.startsWith("https:") ? page : QUrl::fromLocalFile(fixture.folder.path() + '/' + page).toString();
        QCOMPARE(shell.starts.size(), 1);
        QCOMPARE(QString::fromStdString(shell.starts[0].argument), expected);
        QCOMPARE(shell.starts[0].ownerWindow, static_cast<std::uintptr_t>(fixture.window->winId()));
        QCOMPARE(gdblMinutesLeft, minutesLeft);
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    void missingDataFileAtStartIsReported()
    {
        WebsiteWindowFixture fixture({});
        QVERIFY(QFile::remove(fixture.folder.dataFilePath()));
        QVERIFY(!fixture.load());
        QCOMPARE(fixture.dialogs.messages.size(), 1);
        QVERIFY(fixture.dialogs.messages.first().prompt.contains(QStringLiteral("does not exist")));
        QVERIFY(!QFile::exists(fixture.folder.dataFilePath()));
        QVERIFY(!gobjConnection);
    }
};

QTEST_MAIN(TestWebsiteWindow)
#include "tst_website_window.moc"
