// What the three list windows share: the grid a person tabs into is announced by the name of its list.

#include "WebsiteWindowFixture.h"
#include "ui/maintenance/frmEventType.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

class TestListGrids : public QObject
{
    Q_OBJECT

private slots:
    void focusedTableNamedAfterItsList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::newRow("main window") << "websites"
                                     << "Websites";
        QTest::newRow("steps of a website") << "instructions"
                                            << "Website Instructions";
        QTest::newRow("event types") << "event types"
                                     << "Event Type";
    }

    // A screen reader reads the name of the widget that has the focus: the table inside the grid, not the grid.
    void focusedTableNamedAfterItsList()
    {
        QFETCH(QString, list);
        WebsiteWindowFixture fixture({{"Bank", "https://bank.test", 1}});
        QVERIFY(fixture.load());
        std::unique_ptr<QDialog> dialog;
        if (list == "instructions")
            dialog = std::make_unique<frmWebsiteInstructions>(*fixture.window, fixture.window.get());
        else if (list == "event types")
            dialog = std::make_unique<frmEventType>(fixture.window.get());
        QWidget& window = dialog ? static_cast<QWidget&>(*dialog) : *fixture.window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        auto* grid = window.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
        QVERIFY(grid);
        grid->setFocus();
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused && grid->isAncestorOf(focused));
        QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(focused);
        QVERIFY(announced);
        QCOMPARE(announced->role(), QAccessible::Table);
        QTEST(announced->text(QAccessible::Name), "name");
    }
};

QTEST_MAIN(TestListGrids)
#include "tst_list_grids.moc"
