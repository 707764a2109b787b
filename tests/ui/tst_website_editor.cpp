// The website editor, opened by the main window's Add and by a double-click on a row, on a real data file.

#include "WebsiteWindowFixture.h"
#include "platform/grid/FlexGrid.h"
#include "system/app/basModule1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types into the editor's boxes and presses OK; returns whether the editor stayed open, and the name it shows.
QString typeAndSave(QDialog& editor, const QString& name, const QString& link)
{
    auto& nameBox = field<QLineEdit>(editor, "Website Name");
    nameBox.setText(name);
    field<QLineEdit>(editor, "Website Link").setText(link);
    editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    return (editor.isVisible() ? "open " : "closed ") + nameBox.text();
}

} // namespace

class TestWebsiteEditor : public QObject
{
    Q_OBJECT

private slots:
    // The first website added to an empty list refills it, later ones are appended; each starts with one step,
    // a ten-second wait. Typed texts lose their outer blanks and a blank box is stored as NULL. A refused save says
    // why, writes nothing and keeps the window open with what was typed. A double-click opens the row's website:
    // NULL opens as an empty box and an empty text as the word Null; OK writes and shows the change, Cancel
    // writes nothing.
    void addEditAndRefuse()
    {
        WebsiteWindowFixture fixture({});
        QVERIFY(fixture.load());
        auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        QStringList kept;                          // whether the editor stayed open after OK, and the name it kept
        const auto shows = [&](int row, int col) { // the grid's size after a full fill or an append, and a cell
            return QStringLiteral("%1x%2 %3").arg(grid.rows()).arg(grid.cols()).arg(grid.textMatrix(row, col));
        };
        // Adds a website, trying the names in turn in the one window.
        const auto add = [&](const QStringList& names, const QString& link) {
            fixture.answerNextWindow([&, names, link](QDialog& editor) {
                for (const QString& name : names)
                    kept << typeAndSave(editor, name, link);
                editor.reject();
            });
            fixture.click("cmdAdd");
        };
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        add({"Café", "a\tb", "  O'Brien \"Mail\"  "}, " ");
        QCOMPARE(kept, (QStringList{"open Café", "open a\tb", "closed   O'Brien \"Mail\"  "}));
        const QString cannot = QStringLiteral("The Website Name cannot hold the character ");
        const QStringList messages = fixture.dialogs.messageTexts();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].startsWith(cannot + "\"é\" (U+00E9). ") && messages[1].startsWith(cannot + "U+0009. "));
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE(shows(1, 1), QStringLiteral("2x5 O'Brien \"Mail\"")); // the refused saves wrote nothing
        QCOMPARE(fixture.column("SELECT WebsiteLink IS NULL FROM Website"), QStringList{"1"});

        add({"Bank"}, "https://bank.test/login");
        QCOMPARE(shows(2, 2), QStringLiteral("3x3 https://bank.test/login"));

        QString shown;
        fixture.answerNextWindow([&](QDialog& editor) {
            shown = field<QLineEdit>(editor, "Website Name").text();
            typeAndSave(editor, "Bank", "https://bank.test/new");
            editor.reject();
        });
        grid.setRow(2);
        emit grid.dblClick();
        QCOMPARE(shown + ' ' + grid.textMatrix(2, 2), QStringLiteral("Bank https://bank.test/new"));
        QCOMPARE(fixture.column("SELECT WebsiteID || ' ' || EventTypeID || ' ' || NumberOfTimes || ' ' || "
                                "ifnull(TextToTypeIn, 'NULL') FROM WebsiteInstructions"),
                 (QStringList{"1 4 10 NULL", "2 4 10 NULL"}));

        fixture.folder.execute({"UPDATE Website SET WebsiteName = '' WHERE WebsiteID = 1"});
        const QString texts = QStringLiteral("SELECT quote(WebsiteName) || quote(WebsiteLink) FROM Website");
        const QStringList before = fixture.column(texts);
        fixture.answerNextWindow([&](QDialog& editor) {
            shown =
                field<QLineEdit>(editor, "Website Name").text() + "|" + field<QLineEdit>(editor, "Website Link").text();
            field<QLineEdit>(editor, "Website Name").setText("changed");
            gdblMinutesLeft = 1;
            editor.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            editor.reject();
        });
        grid.setRow(1);
        emit grid.dblClick();
        QCOMPARE(shown, QStringLiteral("Null|"));
        QCOMPARE(fixture.column(texts), before);
        QCOMPARE(gdblMinutesLeft, 9.0); // Cancel counts as activity

        // a website whose first step cannot be written is not written either
        fixture.folder.execute({"CREATE TRIGGER Refuse BEFORE INSERT ON WebsiteInstructions "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"});
        add({"Shop"}, "");
        QCOMPARE(kept.last(), QStringLiteral("open Shop"));
        QCOMPARE(fixture.dialogs.messages.size(), 3);
        QVERIFY(fixture.dialogs.messages.last().prompt.startsWith("Error No: "));
        QCOMPARE(fixture.column(texts), before);
        QCOMPARE(grid.rows(), 3);
    }
};

QTEST_MAIN(TestWebsiteEditor)
#include "tst_website_editor.moc"
