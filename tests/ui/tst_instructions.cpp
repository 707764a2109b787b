// A website's steps and the event types they are of, on a real data file: the step list opened from the main
// window and the step editor; the event type list and its editor, where the behaviour that every list window shares
// (commands, heading row, Delete key, least size, grid name) is tested once.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/screen/FormSize.h"
#include "system/app/basModule1.h"
#include "ui/maintenance/frmEventType.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// A new step typed in: the event types chosen, the number and the text typed; the number box after OK (or
// "closed"); the step stored, or the message's first sentence.
struct NewStep
{
    const char *choices, *number, *text, *afterOK, *outcome;
    double minutesLeft;
};
const char* const Numeric = "Number of Times/Seconds Field must be numeric.";
const NewStep NewSteps[] = {
    {"Wait,Tab", " 2.5 ", " O'Neil's ", "closed", "3|2.5|", 9},
    {"Enter", "7", " O'Neil's ", "closed", "2|Null|", 9},
    // a text is stored as typed, blanks included; only an empty box is Null
    {"Text", "7", " O'Neil's ", "closed", "1|Null| O'Neil's ", 9},
    {"Text", "", " ", "closed", "1|Null| ", 9},
    {"Wait,Shift+Tab", "7", " O'Neil's ", "closed", "5|7|", 9},
    // a number is accepted exactly when the replay reads it as a count; a refused one is emptied
    {"Wait", "1e3", " O'Neil's ", "closed", "4|1000|", 9},
    {"Tab", "3 times", "", "", Numeric, 1},
    {"Tab", "1,5", "", "", Numeric, 1},
    {"Wait", "inf", "", "", Numeric, 1},
    {"Wait", "\u00a01", "", "", Numeric, 1}, // no number column takes a no-break space
    // a count below 1 presses no key, as 0 does
    {"Tab", "-3", "", "closed", "3|-3|", 9},
    {"wait", "1", "", "1",
     "This step is of the event type \"wait\", which a launch does not know: a launch would "
     "refuse this website",
     9},
    {"", "12", "", "12", "Select EventType first.", 9},
    // a count beyond what a launch replays is refused and kept for correcting
    {"Tab", "1001", "", "1001",
     "Number of Times/Seconds Field is out of range: a Tab step presses its key at most 1,000 times.", 9},
    {"Wait", "86401", "", "86401",
     "Number of Times/Seconds Field is out of range: a Wait step waits at most 86,400 seconds (24 hours).", 9},
    {"Wait", "86400", "", "closed", "4|86400|", 9},
    {"Text", "", "café", "", "The Text To Type In cannot hold the character \"é\" (U+00E9)", 1},
};

// Two websites, the second current in the main grid, and steps written outside the program, each as the values
// "website, event type, count, text"; the list of the second website's steps is open.
struct StepsFixture : WebsiteWindowFixture
{
    std::unique_ptr<frmWebsiteInstructions> list;
    FlexGrid* grid = nullptr;
    QString afterOK; // the number box of an editor left open by OK, or "closed"

    explicit StepsFixture(const QStringList& steps = {})
        : WebsiteWindowFixture({{"Bank", "https://bank.test", 1}, {"O'Mail", "https://mail.test", 2}})
    {
        folder.execute({QStringLiteral("INSERT INTO EventType (EventType) VALUES ('wait')")}); // no known type
        for (const QString& step : steps)
            folder.execute({QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, "
                                           "NumberOfTimes, TextToTypeIn) VALUES (%1)")
                                .arg(step)});
        load();
        control<FlexGrid>("MSFlexGrid1").setRow(2);
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        list = std::make_unique<frmWebsiteInstructions>(*window, window.get());
        list->show();
        grid = list->findChild<FlexGrid*>();
    }
    // Opens the editor by a button of the list, or by a double-click; fills it in, clicks OK, closes what is left.
    void inEditor(const char* button, const std::function<void(QDialog&)>& fillIn)
    {
        answerNextWindow([this, fillIn](QDialog& editor) {
            fillIn(editor);
            editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            afterOK = editor.isVisible() ? field<QLineEdit>(editor, "Number Of Times").text() : "closed";
            if (editor.isVisible())
                editor.reject();
        });
        if (button)
            list->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        else
            emit grid->dblClick();
    }
    // The steps as the file holds them: event type, count and deciphered text.
    QStringList stored() const
    {
        QStringList steps;
        for (const QString& step : column("SELECT EventTypeID || '|' || ifnull(NumberOfTimes, 'Null') || '|' || "
                                          "ifnull(TextToTypeIn, '') FROM WebsiteInstructions WHERE WebsiteID = 2"))
            steps << step.section('|', 0, 1) + '|' + gobjEncrypt->Encrypt2(step.section('|', 2));
        return steps;
    }
};

// Once an editor shows: records the name it opened with, types one and clicks OK, or Cancel when none is given.
void answerEditor(QStringList& opened, const QString& typed)
{
    WebsiteWindowFixture::answerNextWindow([&opened, typed](QDialog& editor) {
        auto& box = field<QLineEdit>(editor, "Event Type");
        opened << box.text();
        box.setText(typed);
        editor.findChild<QPushButton*>(typed.isNull() ? "cmdCancel" : "cmdOK")->click();
    });
}

} // namespace

class TestInstructions : public QObject
{
    Q_OBJECT

private slots:
    // A new step: a number and a text typed, then the types chosen in turn, and what OK does. A refused step
    // keeps the window open; a step saved into the empty list fills it.
    void newStep_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(NewSteps)); ++row)
            QTest::addRow("%s %s", NewSteps[row].choices, NewSteps[row].number) << row;
    }

    void newStep()
    {
        QFETCH(int, row);
        const NewStep& step = NewSteps[row];
        StepsFixture fixture;
        fixture.inEditor("cmdAdd", [&](QDialog& editor) {
            QTest::keyClicks(&field<QLineEdit>(editor, "Number Of Times"), step.number);
            field<QLineEdit>(editor, "Text To Type In")
                .setText(QString::fromUtf8(step.text)); // pasted, as an accent may be
            auto& combo = field<QComboBox>(editor, "Event Type");
            for (const QString& choice : QString(step.choices).split(','))
                combo.setCurrentIndex(combo.findText(choice));
        });
        QCOMPARE(fixture.afterOK, QString::fromUtf8(step.afterOK));
        const QString message = fixture.dialogs.messageTexts().join("").section(". ", 0, 0); // its first sentence
        QCOMPARE(fixture.stored().join("") + message, QString::fromUtf8(step.outcome));
        QCOMPARE(gdblMinutesLeft, step.minutesLeft);
        QCOMPARE(fixture.grid->textMatrix(0, 0), message.isEmpty() ? "Website Instructions ID" : "0 Records");
    }

    // A website holds at most the steps a launch replays: a step more is refused, and nothing is written.
    void refusesAStepMoreThanALaunchReplays()
    {
        StepsFixture fixture(QStringList(500, QStringLiteral("2, 2, Null, Null")));
        fixture.inEditor("cmdAdd", [](QDialog& editor) {
            auto& combo = field<QComboBox>(editor, "Event Type");
            combo.setCurrentIndex(combo.findText("Enter"));
        });
        QCOMPARE(fixture.afterOK, QString());
        QCOMPARE(fixture.dialogs.messageTexts(),
                 QStringList{"A website has at most 500 steps, and this one has them all: the step was not added."});
        QCOMPARE(fixture.stored().size(), 500);
    }

    // Choosing a step type over boxes holding "7" and "x", one enabled and the other not, each way round: the
    // caption and the boxes (enabled, text) it leaves. A box is enabled, disabled and emptied, or left as it is;
    // a type added by the user whose name differs only in case is no known type and changes nothing.
    void choosingATypeSetsTheBoxes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("shown"); // after a start with the number box disabled, then enabled
        const auto row = [](const char* type, const char* numberWasDisabled, const char* numberWasEnabled) {
            QTest::newRow(type) << QString(type) << QStringList{numberWasDisabled, numberWasEnabled};
        };
        row("Wait", "Number of Seconds|1 7|0 ", "Number of Seconds|1 7|0 ");
        row("Tab", "Number of Times|1 7|0 ", "Number of Times|1 7|0 ");
        row("Enter", "Number of Times|0 |0 ", "Number of Times|0 |0 ");
        row("Text", "Number Of Times|0 |1 x", "Number Of Times|0 |1 x");
        row("Shift+Tab", "Number Of Times|0 7|1 x", "Number Of Times|1 7|0 x");
        row("wait", "Number Of Times|0 7|1 x", "Number Of Times|1 7|0 x");
    }

    void choosingATypeSetsTheBoxes()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, shown);
        StepsFixture fixture;
        QStringList seen;
        for (bool numberEnabled : {false, true}) {
            fixture.answerNextWindow([&](QDialog& editor) {
                auto& number = field<QLineEdit>(editor, "Number Of Times");
                auto& text = field<QLineEdit>(editor, "Text To Type In");
                number.setText("7");
                number.setEnabled(numberEnabled);
                text.setText("x");
                text.setEnabled(!numberEnabled);
                auto& combo = field<QComboBox>(editor, "Event Type");
                combo.setCurrentIndex(combo.findText(type));
                QStringList state{editor.findChild<QLabel*>(QStringLiteral("lblNumberOfTimes"))->text()};
                for (QLineEdit* box : {&number, &text})
                    state << QStringLiteral("%1 %2").arg(box->isEnabled()).arg(box->text());
                seen << state.join('|');
                editor.reject();
            });
            fixture.list->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        }
        QCOMPARE(seen, shown);
    }

    // The main window opens the list of the current website's steps, not without a website row, and counts the
    // command as activity. The list shows the name deciphered, the texts as stored, the keys hidden. A step opens
    // as stored and OK rewrites only its row; a step added to a list that is not empty is appended. A step whose
    // event type the user deletes stays, listed with its type missing: the event type list says so as it deletes,
    // and the step editor opens it with no type chosen, for another to be chosen.
    void listEditAppendDelete()
    {
        StepsFixture fixture(
            {"1, 4, 10, NULL", "2, 4, 5, NULL", "2, 1, NULL, " + QuotedValue(dsEncrypt().Encrypt2("it's me"))});
        QStringList opened;
        for (int row : {0, 2}) { // the heading row, then a website
            fixture.control<FlexGrid>("MSFlexGrid1").setRow(row);
            fixture.answerNextWindow([&](QDialog& list) {
                opened << list.windowTitle() + ' ' + columnTexts(*list.findChild<FlexGrid*>(), 5).join(',');
                list.close();
            });
            fixture.click("cmdEnterInstructions");
        }
        QCOMPARE(opened, QStringList{"Website Instructions 5,"});
        QCOMPARE(gdblMinutesLeft, 9.0);

        FlexGrid& grid = *fixture.grid;
        QCOMPARE(columnTexts(grid, 2) + columnTexts(grid, 6),
                 (QStringList{"O'Mail", "O'Mail", "", gobjEncrypt->Encrypt2("it's me")}));
        QCOMPARE(grid.colWidthTwips(0) + grid.colWidthTwips(1) + grid.colWidthTwips(3), 0); // the keys hidden
        QCOMPARE(announcedGridName(*fixture.list), QStringLiteral("Website Instructions"));
        grid.setRow(2);
        QStringList shown;
        fixture.inEditor(nullptr, [&](QDialog& editor) {
            shown << field<QComboBox>(editor, "Event Type").currentText()
                  << field<QLineEdit>(editor, "Text To Type In").text()
                  << field<QLineEdit>(editor, "Website Name").text();
            field<QLineEdit>(editor, "Text To Type In").setText("you");
        });
        QCOMPARE(shown, (QStringList{"Text", "it's me", "O'Mail"}));
        QCOMPARE(fixture.stored() + columnTexts(grid, 6),
                 (QStringList{"4|5|", "1|Null|you", "", gobjEncrypt->Encrypt2("you")}));

        fixture.inEditor("cmdAdd", [](QDialog& editor) { field<QComboBox>(editor, "Event Type").setCurrentIndex(1); });
        QCOMPARE(columnTexts(grid, 4), (QStringList{"Wait", "Text", "Enter"}));

        fixture.list->findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click(); // row 2 is still current
        QCOMPARE(fixture.stored() + columnTexts(grid, 4), (QStringList{"4|5|", "2|Null|", "Wait", "Enter"}));

        frmEventType types;
        types.show();
        types.findChild<FlexGrid*>()->setRow(4); // Wait
        types.findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
        fixture.list->FillGrid();
        grid.setRow(1);
        QString chosen;
        fixture.inEditor(nullptr, [&](QDialog& editor) {
            auto& combo = field<QComboBox>(editor, "Event Type");
            chosen = QString::number(combo.currentIndex()) + ' ' + combo.placeholderText();
            combo.setCurrentIndex(combo.findText("Tab"));
        });
        QCOMPARE(chosen, QStringLiteral("-1 (missing)"));
        QCOMPARE(fixture.stored() + columnTexts(grid, 4), (QStringList{"3|5|", "2|Null|", "Tab", "Enter"}));
        QCOMPARE(fixture.dialogs.messageTexts(),
                 (QStringList{"Select a website in the list first.",
                              "2 steps of this event type are kept. In the lists of their websites' steps they now "
                              "show the event type \"(missing)\", and a launch refuses their websites until each is "
                              "given another event type or deleted."}));
    }

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
        QCOMPARE(announcedGridName(list), QStringLiteral("Event Type"));
        QCOMPARE(grid.colWidthTwips(0) == 0, !command.isEmpty());
    }
};

QTEST_MAIN(TestInstructions)
#include "tst_instructions.moc"
