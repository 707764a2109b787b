// The website editor, opened by the main window's Add and by a double-click on a row, on a real data file.

#include "WebsiteWindowFixture.h"
#include "app/basModule1.h"
#include "platform/grid/FlexGrid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QLineEdit& box(QDialog& editor, const char* name)
{
    return *editor.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Types into the editor's boxes and presses OK; returns whether the editor stayed open.
bool typeAndSave(QDialog& editor, const QString& name, const QString& link)
{
    box(editor, "txtWebsiteName").setText(name);
    box(editor, "txtWebsiteLink").setText(link);
    editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    return editor.isVisible();
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
        QList<bool> stillOpen;
        QStringList kept;
        // Adds a website, trying the names in turn in the one window.
        const auto add = [&](const QStringList& names, const QString& link) {
            fixture.answerNextWindow([&, names, link](QDialog& editor) {
                for (const QString& name : names) {
                    stillOpen << typeAndSave(editor, name, link);
                    kept << box(editor, "txtWebsiteName").text();
                }
                editor.reject();
            });
            fixture.click("cmdAdd");
        };
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        add({"Café", "a\tb", "  O'Brien \"Mail\"  "}, " ");
        QCOMPARE(stillOpen, (QList<bool>{true, true, false}));
        QCOMPARE(kept, (QStringList{"Café", "a\tb", "  O'Brien \"Mail\"  "}));
        const QString cannot = QStringLiteral("The Website Name cannot hold the character ");
        QCOMPARE(fixture.dialogs.messages.size(), 2);
        QCOMPARE(fixture.dialogs.messages[0].prompt.left(cannot.size() + 3), cannot + "\"é\"");
        QCOMPARE(fixture.dialogs.messages[1].prompt.left(cannot.size() + 6), cannot + "U+0009");
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE(grid.rows(), 2); // one website: the refused saves wrote nothing
        QCOMPARE(grid.cols(), 5); // a full fill
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("O'Brien \"Mail\""));
        QCOMPARE(fixture.column("SELECT WebsiteLink IS NULL FROM Website"), QStringList{"1"});

        add({"Bank"}, "https://bank.test/login");
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.cols(), 3); // appended
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("https://bank.test/login"));

        QString shown;
        fixture.answerNextWindow([&](QDialog& editor) {
            shown = box(editor, "txtWebsiteName").text();
            typeAndSave(editor, "Bank", "https://bank.test/new");
            editor.reject();
        });
        grid.setRow(2);
        emit grid.dblClick();
        QCOMPARE(shown, QStringLiteral("Bank"));
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("https://bank.test/new"));
        QCOMPARE(fixture.column("SELECT WebsiteID || ' ' || EventTypeID || ' ' || NumberOfTimes || ' ' || "
                                "ifnull(TextToTypeIn, 'NULL') FROM WebsiteInstructions"),
                 (QStringList{"1 4 10 NULL", "2 4 10 NULL"}));

        fixture.folder.execute({"UPDATE Website SET WebsiteName = '' WHERE WebsiteID = 1"});
        const QString texts = QStringLiteral("SELECT quote(WebsiteName) || quote(WebsiteLink) FROM Website");
        const QStringList before = fixture.column(texts);
        fixture.answerNextWindow([&](QDialog& editor) {
            shown = box(editor, "txtWebsiteName").text() + "|" + box(editor, "txtWebsiteLink").text();
            box(editor, "txtWebsiteName").setText("changed");
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
        fixture.folder.execute({"DROP TABLE WebsiteInstructions"});
        add({"Shop"}, "");
        QCOMPARE(stillOpen.last(), true);
        QCOMPARE(kept.last(), QStringLiteral("Shop"));
        QCOMPARE(fixture.dialogs.messages.size(), 3);
        QCOMPARE(fixture.dialogs.messages.last().prompt.left(10), QStringLiteral("Error No: "));
        QCOMPARE(fixture.column(texts), before);
        QCOMPARE(grid.rows(), 3);
    }
};

QTEST_MAIN(TestWebsiteEditor)
#include "tst_website_editor.moc"
