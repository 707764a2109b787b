// The event type list and its editor on a real data file in a temporary folder. The list window's behaviour that
// every list shares (commands, heading row, Delete key, least size, grid name) is tested here, once.

#include "WebsiteWindowFixture.h"
#include "platform/screen/FormSize.h"
#include "system/app/basModule1.h"
#include "ui/maintenance/frmEventType.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// Once an editor shows: records the name it opened with, types one and clicks OK, or Cancel when none is given.
void answerEditor(QStringList& opened, const QString& typed)
{
    QTimer::singleShot(0, [&opened, typed] {
        if (auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            auto& box = field<QLineEdit>(*editor, "Event Type");
            opened << box.text();
            box.setText(typed);
            editor->findChild<QPushButton*>(typed.isNull() ? "cmdCancel" : "cmdOK")->click();
        }
    });
}

} // namespace

class TestEventTypes : public QObject
{
    Q_OBJECT

private slots:
    // A command on the current row: the name the editor opened with (none when it did not open), the list's key
    // field after it, and the names stored and listed. An empty table (no command) opens the editor at once, and its
    // type is appended below the "0 Records" heading. Nothing here counts as activity for the re-lock.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed"); // nothing: Cancel
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<double>("key");
        QTest::addColumn<QStringList>("stored");
        const QStringList types{"Text", "Enter", "Tab", "Wait", "Shift+Tab"};
        const auto row = [](const char* tag, const char* command, int current, const char* typed,
                            const QStringList& opened, double key, const QStringList& stored) {
            QTest::newRow(tag) << command << current << typed << opened << key << stored;
        };
        row("empty table, OK", "", 0, "Wait", {""}, 6, {"Wait"});
        row("empty table, Cancel", "", 0, nullptr, {""}, 0, {});
        row("add, trimmed, quote kept", "cmdAdd", 2, "  Shift's  ", {""}, 6, types + QStringList{"Shift's"});
        row("rename", "double-click", 4, "wait", {"Wait"}, 4, {"Text", "Enter", "Tab", "wait", "Shift+Tab"});
        row("blank stored as Null", "double-click", 1, "   ", {"Text"}, 1,
            {"<Null>", "Enter", "Tab", "Wait", "Shift+Tab"});
        row("cancelled add", "cmdAdd", 2, nullptr, {""}, 0, types);
        row("cancelled edit", "double-click", 2, nullptr, {"Enter"}, 2, types);
        row("heading row opens nothing", "double-click", 0, "New", {}, 0, types);
        row("Delete button", "cmdDelete", 5, nullptr, {}, 5, types.mid(0, 4));
        row("Delete key", "Delete key", 2, nullptr, {}, 2, {"Text", "Tab", "Wait", "Shift+Tab"});
        row("Delete on the heading row", "Delete key", 0, nullptr, {}, 0, types);
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QStringList, stored);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        gdblMinutesLeft = 1;
        gdblRelockMinutes = 9;
        if (command.isEmpty())
            folder.execute({QStringLiteral("DELETE FROM EventType")});
        QStringList opened;
        answerEditor(opened, typed); // the editor opened by the empty table's load, or by the command
        frmEventType list;
        list.show();
        auto& grid = *list.findChild<FlexGrid*>();
        grid.setRow(row);
        if (command == QStringLiteral("double-click"))
            emit grid.dblClick();
        else if (command == QStringLiteral("Delete key"))
            QTest::keyClick(grid.findChild<QTableView*>(), Qt::Key_Delete);
        else if (!command.isEmpty())
            list.findChild<QPushButton*>(command)->click();
        QCoreApplication::processEvents();
        QTEST(opened, "opened");
        QTEST(list.mEventTypeID, "key");
        QCOMPARE(folder.column(QStringLiteral("SELECT ifnull(EventType, '<Null>') FROM EventType")), stored);
        QCOMPARE(QStringList{grid.textMatrix(0, 0)} + columnTexts(grid, 1),
                 QStringList{command.isEmpty() ? "0 Records" : "Event Type ID"} +
                     stored.replaceInStrings(QStringLiteral("<Null>"), QString()));
        QVERIFY(list.isVisible() && dialogs.messages.isEmpty() && gdblMinutesLeft == 1);

        // named after its window, the key column hidden (not below "0 Records"); the window keeps its least size
        list.resize(30, 30);
        QCOMPARE((QList<double>{FormSize::widthTwips(list), FormSize::heightTwips(list),
                                grid.widthTwips() + 2 * grid.leftTwips()}),
                 (QList<double>{6510, 4005, 6510}));
        QCOMPARE(grid.accessibleName(), QStringLiteral("Event Type"));
        QCOMPARE(grid.colWidthTwips(0) == 0, !command.isEmpty());
    }
};

QTEST_MAIN(TestEventTypes)
#include "tst_event_types.moc"
