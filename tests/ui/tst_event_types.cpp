// The event type list and its editor, shown as the program shows them, on a real data file in a temporary folder.

#include "app/basModule1.h"
#include "data/EventTypeStatements.h"
#include "data/StatementText.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"
#include "ui/ModalWindow.h"
#include "ui/maintenance/frmEventType.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cmath>

namespace {

using Answer = std::function<void(QDialog&)>;

// Runs the answers one after the other, each on the modal window on top once the event loop turns; the next is
// waiting before an answer runs, so that it finds a window that the answer opens.
void answerWindows(QList<Answer> answers)
{
    if (answers.isEmpty())
        return;
    QTimer::singleShot(0, [answers]() mutable {
        const Answer answer = answers.takeFirst();
        answerWindows(answers);
        if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            answer(*window);
    });
}

// Records what the editor showed when it opened (its text and its box's accessible name), then types the text and
// closes it with OK or Cancel.
Answer answerEditor(QStringList& seen, const QString& typed, bool ok)
{
    return [&seen, typed, ok](QDialog& editor) {
        auto* box = editor.findChild<QLineEdit*>(QStringLiteral("txtEventType"));
        if (!box)
            return; // the list: no editor opened
        seen = {box->text(), box->accessibleName()};
        box->setText(typed);
        editor.findChild<QPushButton*>(QString::fromLatin1(ok ? "cmdOK" : "cmdCancel"))->click();
    };
}

QStringList gridColumn(const FlexGrid& grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.rows(); ++row)
        texts << grid.textMatrix(row, col);
    return texts;
}

const QString StoredNames = QStringLiteral("SELECT ifnull(EventType, '<Null>') FROM EventType ORDER BY EventTypeID");

} // namespace

class TestEventTypes : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        gdblMinutesLeft = 1;
        gdblRelockMinutes = 9;
    }
    // Nothing in these windows counts as activity for the re-lock; a leftover answer is dropped.
    void cleanup()
    {
        QCoreApplication::processEvents();
        QCOMPARE(gdblMinutesLeft, 1.0);
    }

    // The exact texts, blanks included; the windows below show what they do to the data file.
    void statementTexts()
    {
        QCOMPARE(EventTypeRowQuery(12),
                 QStringLiteral("SELECT Top 500 a.EventTypeID, a.EventType FROM EventType a WHERE EventTypeID = 12 "));
        QCOMPARE(UpdateEventTypeStatement(TextValue(" Shift's "), 12),
                 QStringLiteral("UPDATE EventType SET EventType = 'Shift''s' WHERE EventTypeID = 12 "));
        QCOMPARE(InsertEventTypeStatement(TextValue("Wait")),
                 QStringLiteral("INSERT INTO EventType (EventType) VALUES ('Wait') "));
    }

    // An empty table opens the editor at once to add the first type, which is appended below the "0 Records"
    // heading; a cancelled editor leaves the list empty and open. The list keeps its minimum size.
    void emptyTableOpensTheEditor_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("OK appends") << true << QStringList{"Wait"};
        QTest::newRow("Cancel leaves the list empty") << false << QStringList{};
    }

    void emptyTableOpensTheEditor()
    {
        QFETCH(bool, ok);
        QFETCH(QStringList, listed);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        folder.execute({QStringLiteral("DELETE FROM EventType")});
        QStringList seen, shown;
        QList<double> size;
        answerWindows({answerEditor(seen, QStringLiteral("Wait"), ok), [&](QDialog& list) {
                           const auto& grid = *list.findChild<FlexGrid*>();
                           shown = QStringList{grid.textMatrix(0, 0)} + gridColumn(grid, 1);
                           list.resize(30, 30);
                           size = {FormSize::width(list), FormSize::height(list), grid.width()};
                           list.close();
                       }});
        ModalWindow<frmEventType>::Show(nullptr);
        QCOMPARE(seen, (QStringList{"", "Event Type"}));
        QCOMPARE(shown, QStringList{"0 Records"} + listed);
        QCOMPARE(folder.column(StoredNames), listed);
        const double minWidth = std::ceil(6500.0 / 15) * 15;
        QCOMPARE(size, (QList<double>{minWidth, std::ceil(4000.0 / 15) * 15, minWidth - 2 * 180}));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void editAndDelete_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("key");
        QTest::addColumn<QStringList>("stored");
        const QStringList types{"Text", "Enter", "Tab", "Wait", "Shift+Tab"};
        const auto row = [](const char* name, int current, const char* command, const char* typed, bool ok, double key,
                            const QStringList& stored) {
            QTest::newRow(name) << current << QString::fromLatin1(command) << QString::fromLatin1(typed) << ok << key
                                << stored;
        };
        row("add, trimmed, quote kept", 2, "cmdAdd", "  Shift's  ", true, 6, types + QStringList{"Shift's"});
        row("rename", 4, "double-click", "wait", true, 4, {"Text", "Enter", "Tab", "wait", "Shift+Tab"});
        row("blank stored as Null", 1, "double-click", "   ", true, 1, {"<Null>", "Enter", "Tab", "Wait", "Shift+Tab"});
        row("cancelled add", 2, "cmdAdd", "New", false, 0, types);
        row("cancelled edit", 2, "double-click", "New", false, 2, types);
        row("heading row opens nothing", 0, "double-click", "New", true, 0, types);
        row("Delete button", 5, "cmdDelete", "", false, 5, types.mid(0, 4));
        row("Delete key", 2, "Delete key", "", false, 2, {"Text", "Tab", "Wait", "Shift+Tab"});
        row("Delete on the heading row", 0, "Delete key", "", false, 0, types);
    }

    void editAndDelete()
    {
        QFETCH(int, row);
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(double, key);
        QFETCH(QStringList, stored);
        TempDataFolder folder;
        ScriptedDialogs dialogs;
        const QStringList before = folder.column(StoredNames);
        QStringList seen, names, looks;
        double listKey = -1;
        answerWindows({[&](QDialog& list) {
            auto& grid = *list.findChild<FlexGrid*>();
            looks = QStringList{grid.accessibleName()} << QString::number(grid.colWidth(0));
            grid.setRow(row);
            answerWindows({answerEditor(seen, typed, ok)});
            if (command == QStringLiteral("double-click"))
                emit grid.dblClick();
            else if (command == QStringLiteral("Delete key"))
                QTest::keyClick(grid.findChild<QTableView*>(), Qt::Key_Delete);
            else
                list.findChild<QPushButton*>(command)->click();
            names = gridColumn(grid, 1);
            listKey = static_cast<frmEventType&>(list).mEventTypeID;
            list.close();
        }});
        ModalWindow<frmEventType>::Show(nullptr);
        QCOMPARE(looks, (QStringList{"Event Type", "0"})); // named after its window; the key column hidden
        if (command == QStringLiteral("cmdAdd") || (command == QStringLiteral("double-click") && row))
            QCOMPARE(seen, (QStringList{command == QStringLiteral("cmdAdd") ? "" : before.at(row - 1), "Event Type"}));
        else
            QCOMPARE(seen, QStringList{});
        QCOMPARE(folder.column(StoredNames), stored);
        QCOMPARE(names, stored.replaceInStrings(QStringLiteral("<Null>"), QString()));
        QCOMPARE(listKey, key);
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestEventTypes)
#include "tst_event_types.moc"
