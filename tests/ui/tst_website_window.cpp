// The main window on a real data file in a temporary folder: the website grid, deleting, the list order,
// the saved sizes, launcher mode and the switches between the modes.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/WriteProtection.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "ui/main/CommandLabel.h"
#include "ui/main/RecordListGrid.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

QStringList listTexts(const QListWidget& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
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

QString sizeText(const QWidget& widget)
{
    return QStringLiteral("%1|%2").arg(FormSize::widthTwips(widget)).arg(FormSize::heightTwips(widget));
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
    // on from the one before (keeping a stored order equal to a filled-in one), without writing anything back. A
    // name or link that another program stored with a character the cipher lacks says which character; launching
    // such a link says so too, and opens nothing. At the start the second website is current and every button shows.
    void fillShowsWebsitesInListOrder()
    {
        WebsiteWindowFixture fixture({{"Bank", "https://bank.test", 2},
                                      {"O'Brien's \"Mail\"", "https://mail.test/?a=1&b='2'", 1},
                                      {"Never placed", "", QVariant()},
                                      {"Nor this", "https://nor.test", QVariant()}});
        fixture.folder.execute({QString::fromUtf8("INSERT INTO Website (WebsiteName, WebsiteLink, WebsiteListOrder) "
                                                  "VALUES ('caf\u00e9', 'https://a\tb', 7)")});
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        QCOMPARE(grid.row(), 2);
        for (const QPushButton* button : fixture.window->findChildren<QPushButton*>())
            QVERIFY2(fixture.window->centralWidget()->rect().contains(button->geometry()),
                     qPrintable(button->objectName()));
        QCOMPARE(grid.cols(), 5);
        QCOMPARE(
            (QStringList{grid.textMatrix(0, 0), grid.textMatrix(0, 1), grid.textMatrix(0, 2), grid.textMatrix(0, 3)}),
            (QStringList{"Website ID", "Website Name", "Website Link", "Website List Order"}));
        const QString cannot = QStringLiteral("(cannot be read: it holds the character %1)");
        QCOMPARE(columnTexts(grid, 1),
                 (QStringList{"Never placed", "Nor this", "O'Brien's \"Mail\"", "Bank", cannot.arg("\"é\" (U+00E9)")}));
        QCOMPARE(columnTexts(grid, 2), (QStringList{"", "https://nor.test", "https://mail.test/?a=1&b='2'",
                                                    "https://bank.test", cannot.arg("U+0009")}));
        QCOMPARE(columnTexts(grid, 0), (QStringList{"3", "4", "2", "1", "5"}));
        QCOMPARE(columnTexts(grid, 3), (QStringList{"1", "2", "1", "2", "7"}));
        QCOMPARE(columnTexts(grid, 4), columnTexts(grid, 3));
        QCOMPARE(fixture.column("SELECT count(*) FROM Website WHERE WebsiteListOrder IS NULL"), QStringList{"2"});
        QCOMPARE((QList<double>{grid.colWidthTwips(0), grid.colWidthTwips(3), grid.colWidthTwips(4)}),
                 QList<double>(3, 0.0));
        QVERIFY(grid.colWidthTwips(1) > 0 && grid.colWidthTwips(2) > 0);
        // the width of a column for the widest text measured in it
        for (auto [widest, width] : {std::pair{100.0, 600.0}, {3000.0, 3250.0}, {7000.0, 7000.0}, {9000.0, 8000.0}})
            QCOMPARE(RecordListGrid::ColumnWidthTwips(widest), width);
        const auto& list = fixture.control<QListWidget>("lstWebsites");
        QCOMPARE(listTexts(list), columnTexts(grid, 1));
        QCOMPARE(announcedGridName(*fixture.window) + '|' + list.accessibleName(), QStringLiteral("Websites|Websites"));
        Desktop::RecordingShell shell;
        grid.setRow(5);
        fixture.click("cmdLaunch");
        QCOMPARE(fixture.dialogs.messageTexts(),
                 QStringList{"The link of this website cannot be read: it holds the character U+0009, which Quillock "
                             "never stores; another program wrote it. Nothing was opened or typed."});
        QVERIFY(shell.lookedUp.empty());

        // A website added through the editor, which opens ready for its name to be typed, is shown last and stored
        // one place after the largest list order (not after the count of websites, placed or not), where the next
        // start's fill, by list order, shows it too.
        QString focused;
        fixture.answerNextWindow([&focused](QDialog& editor) {
            focused = editor.focusWidget() ? editor.focusWidget()->accessibleName() : QString();
            field<QLineEdit>(editor, "Website Name").setText(QStringLiteral("Newest"));
            editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        fixture.click("cmdAdd");
        QCOMPARE(focused, QStringLiteral("Website Name"));
        QCOMPARE(columnTexts(grid, 1).mid(5), QStringList{"Newest"});
        QCOMPARE(fixture.column("SELECT WebsiteListOrder FROM Website WHERE WebsiteID = 6"), QStringList{"8"});
    }

    // A launch stops at once when the window closes, by the close box or Close (which Exit runs), or when the re-lock
    // comes: the text after its wait is never typed. Only hidden, as when the browser takes the focus, it goes on.
    void stopsALaunchWhenItCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("keysTyped");
        QTest::newRow("hidden only") << "hide" << 6;
        QTest::newRow("close box") << "close" << 0;
        QTest::newRow("Close") << "cmdClose" << 0;
        QTest::newRow("re-lock") << "tmrMasterPassword" << 0;
    }

    void stopsALaunchWhenItCloses()
    {
        QFETCH(QString, how);
        WebsiteWindowFixture fixture(numberedWebsites(1));
        QVERIFY(fixture.load());
        QCOMPARE(fixture.control<FlexGrid>("MSFlexGrid1").row(), 1); // an only website is current at the start
        fixture.folder.execute({"INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) "
                                "VALUES (1, 4, 1, Null), (1, 1, Null, " +
                                QuotedValue(gobjEncrypt->Encrypt2(QStringLiteral("secret"))) + ")"});
        Keys::RecordingKeySender keys;
        Desktop::RecordingShell shell;
        shell.associatedProgram = "browser";
        gdblMinutesLeft = gdblRelockMinutes = 1; // the re-lock comes at the next tick
        QTimer::singleShot(20, fixture.window.get(), [&] {
            fixture.window->hide();
            if (how == "close")
                fixture.window->close();
            else if (how == "tmrMasterPassword")
                fixture.window->findChild<QTimer*>(how)->start(0);
            else if (how != "hide")
                fixture.click(qPrintable(how));
        });
        fixture.click("cmdLaunch");
        QCOMPARE(shell.starts.size(), std::size_t{1});
        QTEST(int(keys.strokes().size()), "keysTyped");
    }

    void clicksCountAsActivity()
    {
        WebsiteWindowFixture fixture(numberedWebsites(5));
        QVERIFY(fixture.load());
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        clickRow(grid, 4);
        QCOMPARE((QList<int>{grid.row(), grid.rowSel(), grid.col(), grid.colSel()}),
                 (QList<int>{4, 4, 0, grid.cols() - 1}));
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
        QVERIFY(!gblnNewRecord && !gblnDefaultToLauncher);

        // Help counts and opens the page beside the program; Contact Us does not count. Both go to the desktop's
        // browser with the main window as owner.
        Desktop::RecordingShell shell;
        const QString help = QUrl::fromLocalFile(fixture.folder.path() + "/quillock-help.html").toString();
        for (auto [command, page, minutesLeft] :
             {std::tuple{"mnuHelp", help, 9.0}, {"mnuContactUs", "https://quillock.example/mail.html?sc=app", 1.0}}) {
            gdblMinutesLeft = 1;
            const size_t started = shell.starts.size();
            fixture.click(command);
            QCOMPARE(shell.starts.size(), started + 1);
            QCOMPARE(QString::fromStdString(shell.starts.back().argument), page);
            QCOMPARE(shell.starts.back().ownerWindow, static_cast<std::uintptr_t>(fixture.window->winId()));
            QCOMPARE(gdblMinutesLeft, minutesLeft);
        }
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    void moveUpAndDownThenSaveAndDelete()
    {
        WebsiteWindowFixture fixture(numberedWebsites(4));
        fixture.folder.execute(
            {"INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID) VALUES (2, 4), (2, 1), (3, 2)"});
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        const QStringList before = columnTexts(grid, 1);
        grid.setRow(3);
        fixture.click("cmdUp");
        fixture.click("cmdDown"); // there and back, the moved row staying current
        QCOMPARE(grid.row(), 3);
        // first up, last down and the heading row do not move
        for (auto [row, move] : {std::pair{1, "cmdUp"}, {4, "cmdDown"}, {0, "cmdUp"}, {0, "cmdDown"}}) {
            grid.setRow(row);
            fixture.click(move);
        }
        QCOMPARE(columnTexts(grid, 1), before);

        grid.setRow(3);
        fixture.click("cmdUp");
        fixture.click("cmdUp");
        QCOMPARE(columnTexts(grid, 1), (QStringList{"Website 3", "Website 1", "Website 2", "Website 4"}));
        QCOMPARE(columnTexts(grid, 0), (QStringList{"3", "1", "2", "4"})); // hidden columns move too
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.colSel(), grid.cols() - 1);
        const QString order =
            QStringLiteral("SELECT WebsiteID || '@' || WebsiteListOrder FROM Website ORDER BY WebsiteID");
        QCOMPARE(fixture.column(order), (QStringList{"1@1", "2@2", "3@3", "4@4"})); // nothing written before the save
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.column(order), (QStringList{"1@2", "2@3", "3@1", "4@4"}));
        QVERIFY(!gobjConnection);

        // A statement that fails part-way, after two rows have been renumbered, leaves the old order whole; the
        // failure is reported under the application's title, and the program goes on.
        fixture.click("cmdDown");
        fixture.folder.execute({"CREATE TRIGGER Refuse BEFORE UPDATE OF WebsiteListOrder ON Website "
                                "WHEN NEW.WebsiteID = 2 BEGIN SELECT RAISE(ABORT, 'refused part-way'); END"});
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message& message = fixture.dialogs.messages.first();
        QVERIFY(message.prompt.startsWith("Error No: ") && message.prompt.contains(QStringLiteral("refused part-way")));
        QVERIFY(message.title.isEmpty() && message.style == 0);
        QCOMPARE(fixture.column(order), (QStringList{"1@2", "2@3", "3@1", "4@4"}));
        QVERIFY(!gobjConnection);
        fixture.folder.execute({"DROP TRIGGER Refuse"});
        fixture.click("cmdSaveListOrder");
        QCOMPARE(fixture.column(order), (QStringList{"1@1", "2@3", "3@2", "4@4"}));

        // The Delete key deletes the clicked website and its steps; the row that moves up into its place is
        // selected whole.
        clickRow(grid, 3);
        QTest::keyClick(&view(grid), Qt::Key_Delete);
        QCOMPARE(fixture.column("SELECT WebsiteID FROM Website ORDER BY WebsiteID"), (QStringList{"1", "3", "4"}));
        QCOMPARE(fixture.column("SELECT WebsiteID FROM WebsiteInstructions"), QStringList{"3"});
        QCOMPARE(columnTexts(grid, 1), (QStringList{"Website 1", "Website 3", "Website 4"}));
        QCOMPARE(fixture.window->mWebsiteID, 2.0);
        QCOMPARE((QList<int>{grid.row(), grid.col(), grid.colSel()}), (QList<int>{3, 0, grid.cols() - 1}));
        QVERIFY(!gobjConnection);
        for (int i = 0; i < 4; ++i) // down to the heading row, where Delete does nothing
            fixture.click("cmdDelete");
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(fixture.column("SELECT count(*) FROM Website"), QStringList{"0"});
        QCOMPARE(fixture.dialogs.messages.size(), 1); // the refused save's
    }

    // An editor adds a website in its own unit of work and refreshes the list inside it, through the list-window
    // interface. (A changed row's refresh is seen in the editors' tests.)
    void refreshesJoinTheEditorsUnitOfWork()
    {
        WebsiteWindowFixture fixture(numberedWebsites(45));
        QVERIFY(fixture.load());
        RecordListWindow& list = *fixture.window;
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        seedWebsites(fixture.folder.dataFilePath(), {{"Newest", "https://new.test", QVariant()}});
        {
            UnitOfWork editor;
            list.AddGridRow();
            QVERIFY(gobjConnection && gobjConnection->isOpen()); // still the editor's
        }
        QVERIFY(!gobjConnection);
        QCOMPARE(list.RecordKey(), 46.0);
        QCOMPARE(list.GridRows(), 47);
        QCOMPARE((QStringList{list.GridTextMatrix(46, 0), list.GridTextMatrix(46, 1), list.GridTextMatrix(46, 2)}),
                 (QStringList{"46", "Newest", "https://new.test"}));
        QVERIFY(grid.topRow() > 1); // scrolled towards the new row
    }

    // The close box, Close and Exit store the size of the mode shown; the close box and Close return to the launcher
    // when it is the default, Exit in launcher mode stores the launcher's size as the maintenance size and ends the
    // program. A size that cannot be stored is reported once, and the closing goes on all the same. The launcher's
    // saved size is below the grid's minimums, which size the window at Close while the panel is still hidden: the
    // panel then covers the whole window all the same, and no maintenance control shows beside or below it.
    void closingSavesTheSizeOfTheMode_data()
    {
        QTest::addColumn<bool>("defaultToLauncher");
        QTest::addColumn<bool>("startInMaintenance");
        QTest::addColumn<QString>("command"); // empty for the close box
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("saved"); // the columns, Form or Launcher
        QTest::addColumn<bool>("readOnly");
        for (bool readOnly : {false, true}) {
            const auto row = [readOnly](const char* name) -> QTestData& {
                return QTest::addRow("%s%s", readOnly ? "read-only: " : "", name);
            };
            row("maintenance only") << false << true << "" << true << "Form" << readOnly;
            row("maintenance returns to the launcher") << true << true << "" << false << "Form" << readOnly;
            row("launcher") << true << false << "" << true << "Launcher" << readOnly;
            row("exit from the launcher") << true << false << "mnuExit" << true << "Form" << readOnly;
            row("Close ends the program") << false << true << "cmdClose" << true << "Form" << readOnly;
            row("Close returns to the launcher") << true << true << "cmdClose" << false << "Form" << readOnly;
        }
    }

    void closingSavesTheSizeOfTheMode()
    {
        QFETCH(bool, defaultToLauncher);
        QFETCH(bool, startInMaintenance);
        QFETCH(QString, command);
        QFETCH(bool, closes);
        QFETCH(QString, saved);
        QFETCH(bool, readOnly);
        WebsiteWindowFixture fixture(numberedWebsites(2),
                                     {"DefaultToLauncher = " + QString::number(defaultToLauncher), "FormWidth = 9000",
                                      "FormHeight = 7000", "LauncherWidth = 2100", "LauncherHeight = 3000"});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        const auto& panel = fixture.control<QWidget>("fraLauncher");
        if (defaultToLauncher && startInMaintenance)
            emit fixture.control<CommandLabel>("lblMaintenance").clicked();
        QCOMPARE(panel.isVisible(), !startInMaintenance);
        FormSize::setWidthTwips(window, startInMaintenance ? 9900 : 4500);
        FormSize::setHeightTwips(window, startInMaintenance ? 7500 : 5400);
        const QString savedQuery = QStringLiteral("SELECT %1Width || '|' || %1Height FROM Setup").arg(saved);
        const QStringList expected = readOnly ? fixture.column(savedQuery) : QStringList{sizeText(window)};
        std::optional<WriteProtection> protection;
        if (readOnly)
            protection.emplace(fixture.folder.dataFilePath());

        if (command.isEmpty()) {
            QCloseEvent event;
            QCoreApplication::sendEvent(&window, &event);
            QCOMPARE(event.isAccepted(), closes);
        } else {
            fixture.click(qPrintable(command));
        }
        protection.reset();
        QCOMPARE(fixture.column(savedQuery), expected);
        if (!closes) {
            QVERIFY(panel.isVisible() && panel.geometry().contains(window.centralWidget()->rect()));
            QCOMPARE(sizeText(window), command.isEmpty() ? "2100|3000" : "3510|6000");
        }
        QCOMPARE(fixture.dialogs.endProgramCalls, !command.isEmpty() && closes ? 1 : 0);
        QCOMPARE(fixture.dialogs.messages.size(), readOnly ? 1 : 0);
        if (readOnly)
            QVERIFY(fixture.dialogs.messages.first().prompt.contains(QStringLiteral("cannot be written")));
        QVERIFY(!gobjConnection);
    }

    // Saved sizes far beyond any screen open a window that fills the free part of the screen with its title bar on
    // the screen, in either mode and after switching between them. Dragging the frame smaller then stops at the
    // mode's minimum, in whole pixels of 15 twips. In the launcher the command under the mouse shows red and a name
    // makes its row current; Close in maintenance mode returns to it with the names in their new order.
    void sizesStayBetweenTheMinimumAndTheScreen_data()
    {
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<QString>("minimum");
        QTest::newRow("maintenance: at least 3500 wide by 6000 high") << false << "3510|6000";
        QTest::newRow("launcher, then maintenance and back: at least 1500 by 3000") << true << "1500|3000";
    }

    void sizesStayBetweenTheMinimumAndTheScreen()
    {
        QFETCH(bool, launcher);
        QFETCH(QString, minimum);
        WebsiteWindowFixture fixture(numberedWebsites(3), {"DefaultToLauncher = " + QString::number(launcher),
                                                           "FormWidth = 99999999", "FormHeight = 99999999",
                                                           "LauncherWidth = 99999999", "LauncherHeight = 99999999"});
        QVERIFY(fixture.load());
        frmWebsite& window = *fixture.window;
        const QRect room = window.screen()->availableGeometry();
        const auto fillsTheRoom = [&](bool frameKnown) { // once the window has been shown, its frame fits too
            const QRect frame = window.frameGeometry();
            const QSize margins = frame.size() - window.size();
            QVERIFY(window.width() >= room.width() - margins.width());
            QVERIFY(window.height() >= room.height() - margins.height());
            QVERIFY(room.contains(frameKnown ? frame : QRect(frame.topLeft(), window.size())));
        };
        fillsTheRoom(false);
        auto& list = fixture.control<QListWidget>("lstWebsites");
        if (launcher && !QTest::currentTestFailed()) {
            auto& launch = fixture.control<CommandLabel>("lblLaunch");
            auto& maintenance = fixture.control<CommandLabel>("lblMaintenance");
            const auto colours = [&] { return std::pair{launch.foreColor(), maintenance.foreColor()}; };
            constexpr unsigned int red = 0x000000FF, green = 0x0000C000;
            emit launch.mouseMoved();
            QCOMPARE(colours(), std::pair(red, green));
            emit maintenance.mouseMoved();
            QCOMPARE(colours(), std::pair(green, red));
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(list.viewport(), &move);
            QCOMPARE(colours(), std::pair(green, green));
            QCoreApplication::processEvents();
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
            QCOMPARE(fixture.control<FlexGrid>("MSFlexGrid1").row(), 3);

            emit maintenance.clicked();
            fillsTheRoom(true);
            fixture.click("cmdUp");
            fixture.click("cmdUp");
            fixture.click("cmdDelete"); // the moved Website 3 is current: it goes
            fixture.click("cmdClose");
            QCOMPARE(listTexts(list), (QStringList{"Website 1", "Website 2"}));
            fillsTheRoom(true);
        }

        window.resize(30, 30);
        QCOMPARE(sizeText(window), minimum);
        const double widthTwips = FormSize::widthTwips(window);
        const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        if (launcher) {
            QCOMPARE(fixture.control<QWidget>("fraLauncher").width() * 15.0, widthTwips);
            QCOMPARE(list.width() * 15.0, widthTwips - 180);
        } else {
            QCOMPARE((std::pair{grid.leftTwips(), grid.widthTwips()}), (std::pair{180.0, widthTwips - 360}));
        }
    }
};

QTEST_MAIN(TestWebsiteWindow)
#include "tst_website_window.moc"
