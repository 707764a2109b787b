// A website's steps on a real data file: the instruction list opened from the main window, and the
// instruction editor opened from the list, its fields found by their accessible names.

#include "WebsiteWindowFixture.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/InstructionStatements.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

constexpr int Text = 1, Wait = 4; // event type keys of a new data file

template <class Control>
Control& field(QWidget& window, const char* accessibleName)
{
    for (Control* control : window.findChildren<Control*>()) {
        if (control->accessibleName() == QLatin1String(accessibleName))
            return *control;
    }
    throw std::runtime_error(std::string("no field named ") + accessibleName);
}

QStringList gridColumn(const FlexGrid& grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.rows(); ++row)
        texts << grid.textMatrix(row, col);
    return texts;
}

// A new step typed in: the event types chosen, the number and the text typed; the caption and the boxes (enabled,
// text) after the choices, and the number box after OK; the step stored, or the message's first sentence.
struct NewStep
{
    const char *choices, *number, *text, *shown, *outcome;
    double minutesLeft;
};
const char* const Numeric = "Number of Times/Seconds Field must be numeric.";
const NewStep NewSteps[] = {
    {"Wait", "7", " O'Neil's ", "Number of Seconds|1 7|0 |closed", "4|7|", 9},
    {"Wait,Tab", "7", " O'Neil's ", "Number of Times|1 7|0 |closed", "3|7|", 9},
    {"Enter", "7", " O'Neil's ", "Number of Times|0 |0 |closed", "2|Null|", 9},
    {"Text", "7", " O'Neil's ", "Number Of Times|0 |1 O'Neil's|closed", "1|Null|O'Neil's", 9},
    {"Shift+Tab", "7", " O'Neil's ", "Number Of Times|1 7|1 O'Neil's|closed", "5|7|O'Neil's", 9},
    {"Wait,Shift+Tab", "7", " O'Neil's ", "Number of Seconds|1 7|0 |closed", "5|7|", 9},
    // a number is accepted exactly when the replay reads it as a count
    {"Tab", " 2.5 ", "", "Number of Times|1 2.5|0 |closed", "3|2.5|", 9},
    {"Tab", "+5", "", "Number of Times|1 +5|0 |closed", "3|5|", 9},
    {"Wait", "1e3", "", "Number of Seconds|1 1e3|0 |closed", "4|1000|", 9},
    {"Tab", "3 times", "", "Number of Times|1 3 times|0 |3 times", Numeric, 1},
    {"Tab", "1,5", "", "Number of Times|1 1,5|0 |1,5", Numeric, 1},
    {"Wait", "inf", "", "Number of Seconds|1 inf|0 |inf", Numeric, 1},
    {"", "12", "", "Number Of Times|1 12|1 |12", "Select EventType first.", 9},
    {"Text", "", "café", "Number Of Times|0 |1 café|", "The Text To Type In cannot hold the character \"é\"", 1},
};

// Two websites, the second current in the main grid; the tests work on its steps.
struct StepsFixture : WebsiteWindowFixture
{
    std::unique_ptr<frmWebsiteInstructions> list;
    FlexGrid* grid = nullptr;

    StepsFixture() : WebsiteWindowFixture({{"Bank", "https://bank.test", 1}, {"O'Mail", "https://mail.test", 2}})
    {
        load();
        control<FlexGrid>("MSFlexGrid1").setRow(2);
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
    }
    void addStep(int type, const char* count, const QString& text = {}, int website = 2)
    {
        folder.execute({QStringLiteral("INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, "
                                       "TextToTypeIn) VALUES (%1, %2, %3, %4)")
                            .arg(website)
                            .arg(type)
                            .arg(count, QuotedValue(text.isEmpty() ? text : gobjEncrypt->Encrypt2(text)))});
    }
    void openList()
    {
        list = std::make_unique<frmWebsiteInstructions>(*window, window.get());
        list->show();
        grid = list->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    }
    // Opens the editor by a button of the list, or by a double-click; fills it in, clicks OK, looks at what is
    // left open and closes it.
    void inEditor(
        const char* button, const std::function<void(QDialog&)>& fillIn,
        const std::function<void(QDialog&)>& afterOK = [](QDialog&) {})
    {
        answerNextWindow([=](QDialog& editor) {
            fillIn(editor);
            editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            afterOK(editor);
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
                                          "char(9) || ifnull(TextToTypeIn, '') FROM WebsiteInstructions WHERE "
                                          "WebsiteID = 2 ORDER BY WebsiteInstructionsID")) {
            const qsizetype text = step.indexOf(QLatin1Char('\t')); // no enciphered text holds a tab
            steps << step.left(text) + gobjEncrypt->Encrypt2(step.mid(text + 1));
        }
        return steps;
    }
};

} // namespace

class TestInstructions : public QObject
{
    Q_OBJECT

private slots:
    void updateStatementText()
    {
        QCOMPARE(UpdateInstructionStatement("5", "2", "'15'", "Null", 31),
                 "UPDATE WebsiteInstructions SET WebsiteID = 5,  EventTypeID = 2,  NumberOfTimes = '15',  "
                 "TextToTypeIn = Null WHERE WebsiteInstructionsID = 31 ");
    }

    // Without a website row nothing opens; otherwise the current website's steps, its name deciphered and the
    // texts as stored, in a window that keeps its minimum size.
    void enterInstructionsListsTheCurrentWebsite()
    {
        StepsFixture fixture;
        fixture.addStep(Wait, "10", {}, 1);
        fixture.addStep(Text, "Null", "it's me");
        fixture.addStep(Wait, "2");
        QStringList seen;
        const auto lookAtList = [&](QDialog& list) {
            auto& grid = *list.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
            seen << list.windowTitle() << grid.accessibleName();
            for (int col : {2, 4, 5, 6})
                seen << gridColumn(grid, col);
            for (int col : {0, 1, 3})
                seen << QString::number(grid.colWidth(col));
            list.resize(30, 30);
            for (double size : {FormSize::width(list), FormSize::height(list), grid.width() + 2 * grid.left()})
                seen << QString::number(size);
            list.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        };
        fixture.control<FlexGrid>("MSFlexGrid1").setRow(0);
        fixture.answerNextWindow(lookAtList);
        fixture.click("cmdEnterInstructions");
        QCoreApplication::processEvents();
        QCOMPARE(fixture.dialogs.messageTexts(), QStringList{"Select a website in the list first."});
        QVERIFY(seen.isEmpty());
        QCOMPARE(gdblMinutesLeft, 9.0);

        fixture.control<FlexGrid>("MSFlexGrid1").setRow(2);
        fixture.answerNextWindow(lookAtList);
        fixture.click("cmdEnterInstructions");
        QCOMPARE(seen,
                 (QStringList{"Website Instructions", "Website Instructions", "O'Mail", "O'Mail", "Text", "Wait", "",
                              "2", gobjEncrypt->Encrypt2("it's me"), "", "0", "0", "0", "6510", "4005", "6510"}));
    }

    // A new step: a number and a text typed, then the types chosen in turn; the caption and the boxes (enabled,
    // text) they leave, and what OK does. A refused step keeps the window open, a refused number emptied and not
    // counted as activity; a step saved into the empty list fills it.
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
        fixture.openList();
        QStringList state;
        fixture.inEditor(
            "cmdAdd",
            [&](QDialog& editor) {
                auto& number = field<QLineEdit>(editor, "Number Of Times");
                auto& text = field<QLineEdit>(editor, "Text To Type In");
                QTest::keyClicks(&number, step.number);
                text.setText(QString::fromUtf8(step.text)); // pasted, as an accent may be
                for (const QString& choice : QString(step.choices).split(',')) {
                    auto& combo = field<QComboBox>(editor, "Event Type");
                    combo.setCurrentIndex(combo.findText(choice));
                }
                state << editor.findChild<QLabel*>(QStringLiteral("lblNumberOfTimes"))->text();
                for (QLineEdit* box : {&number, &text})
                    state << QStringLiteral("%1 %2").arg(box->isEnabled()).arg(box->text().trimmed());
            },
            [&](QDialog& editor) {
                state << (editor.isVisible() ? field<QLineEdit>(editor, "Number Of Times").text() : "closed");
            });
        QCOMPARE(state.join('|'), QString::fromUtf8(step.shown));
        const QString message = fixture.dialogs.messageTexts().join("").section(". ", 0, 0); // its first sentence
        QCOMPARE(fixture.stored().join("") + message, QString::fromUtf8(step.outcome));
        QCOMPARE(gdblMinutesLeft, step.minutesLeft);
        QCOMPARE(fixture.grid->textMatrix(0, 0), message.isEmpty() ? "Website Instructions ID" : "0 Records");
        QCOMPARE(gridColumn(*fixture.grid, 6), fixture.column("SELECT TextToTypeIn || '' FROM WebsiteInstructions"));
    }

    // A step opens as stored and OK rewrites only its row; an added step is appended; Delete and the Delete key
    // remove the current step at once, and do nothing once the list is empty.
    void editAppendDelete()
    {
        StepsFixture fixture;
        fixture.addStep(Wait, "5");
        fixture.addStep(Text, "Null", "it's me");
        fixture.openList();
        FlexGrid& grid = *fixture.grid;
        grid.setRow(2);
        QStringList shown;
        fixture.inEditor(nullptr, [&](QDialog& editor) {
            shown << field<QComboBox>(editor, "Event Type").currentText()
                  << field<QLineEdit>(editor, "Text To Type In").text()
                  << field<QLineEdit>(editor, "Website Name").text();
            field<QLineEdit>(editor, "Text To Type In").setText("you");
        });
        QCOMPARE(shown, (QStringList{"Text", "it's me", "O'Mail"}));
        QCOMPARE(fixture.stored(), (QStringList{"4|5|", "1|Null|you"}));
        QCOMPARE(gridColumn(grid, 6), (QStringList{"", gobjEncrypt->Encrypt2("you")}));

        fixture.inEditor("cmdAdd", [](QDialog& editor) { field<QComboBox>(editor, "Event Type").setCurrentIndex(1); });
        QCOMPARE(gridColumn(grid, 4), (QStringList{"Wait", "Text", "Enter"}));
        QCOMPARE(fixture.list->RecordKey(), 3.0);
        QCOMPARE(grid.row(), 2);

        QCoreApplication::processEvents();
        QTest::keyClick(grid.findChild<QTableView*>(), Qt::Key_Delete);
        QCOMPARE(fixture.stored(), (QStringList{"4|5|", "2|Null|"}));
        QCOMPARE(grid.colSel(), grid.cols() - 1); // the row moved up is selected whole
        for (int i = 0; i < 3; ++i)
            fixture.list->findChild<QPushButton*>(QStringLiteral("cmdDelete"))->click();
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(fixture.stored(), QStringList{});
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestInstructions)
#include "tst_instructions.moc"
