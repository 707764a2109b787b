// The website editor, opened by the main window's Add and by a double-click on a row, on a real data file.

#include "WebsiteWindowFixture.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "platform/grid/FlexGrid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Types into the editor's boxes and presses OK; returns whether the editor was still open afterwards, and
// closes it then.
bool typeAndSave(QDialog& editor, const QString& name, const QString& link)
{
    editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteName"))->setText(name);
    editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteLink"))->setText(link);
    editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    const bool stillOpen = editor.isVisible();
    editor.reject();
    return stillOpen;
}

} // namespace

class TestWebsiteEditor : public QObject
{
    Q_OBJECT

private slots:
    void init() { gdblMinutesLeft = gdblRelockMinutes = 0; }

    // The first website added to an empty list refills it, later ones are appended; each starts with one step,
    // a ten-second wait. Typed texts lose their outer blanks, a blank box is stored as NULL, and the stored texts
    // decipher back to what was typed.
    void addsThenEdits()
    {
        WebsiteWindowFixture fixture({});
        QVERIFY(fixture.load());
        const auto& grid = fixture.control<FlexGrid>("MSFlexGrid1");
        gdblRelockMinutes = 9;
        gdblMinutesLeft = 1;
        bool stillOpen = true;
        fixture.answerNextWindow(
            [&](QDialog& editor) { stillOpen = typeAndSave(editor, "  O'Brien \"Mail\"  ", " "); });
        fixture.click("cmdAdd");
        QVERIFY(!stillOpen);
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.cols(), 5); // a full fill
        QCOMPARE(grid.textMatrix(1, 1), QStringLiteral("O'Brien \"Mail\""));
        QCOMPARE(fixture.column("SELECT WebsiteLink IS NULL FROM Website"), QStringList{"1"});
        QCOMPARE(dsEncrypt().Encrypt2(fixture.column("SELECT WebsiteName FROM Website").value(0)),
                 QStringLiteral("O'Brien \"Mail\""));

        fixture.answerNextWindow([&](QDialog& editor) { typeAndSave(editor, "Bank", "https://bank.test/login"); });
        fixture.click("cmdAdd");
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.cols(), 3); // appended
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("https://bank.test/login"));
        QCOMPARE(fixture.column("SELECT WebsiteID || ' ' || EventTypeID || ' ' || NumberOfTimes || ' ' || "
                                "ifnull(TextToTypeIn, 'NULL') FROM WebsiteInstructions"),
                 (QStringList{"1 4 10 NULL", "2 4 10 NULL"}));

        // A double-click opens the row's website; what is changed is written and shown in its row.
        QString shown;
        fixture.answerNextWindow([&](QDialog& editor) {
            shown = editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteName"))->text();
            typeAndSave(editor, "Bank", "https://bank.test/new");
        });
        fixture.control<FlexGrid>("MSFlexGrid1").setRow(2);
        emit fixture.control<FlexGrid>("MSFlexGrid1").dblClick();
        QCOMPARE(shown, QStringLiteral("Bank"));
        QCOMPARE(grid.textMatrix(2, 2), QStringLiteral("https://bank.test/new"));
        QCOMPARE(fixture.column("SELECT count(*) FROM WebsiteInstructions"), QStringList{"2"});

        // Cancel writes nothing.
        const QStringList before = fixture.column("SELECT WebsiteName || WebsiteLink FROM Website");
        fixture.answerNextWindow([](QDialog& editor) {
            editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteName"))->setText("changed");
            editor.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        emit fixture.control<FlexGrid>("MSFlexGrid1").dblClick();
        QCOMPARE(fixture.column("SELECT WebsiteName || WebsiteLink FROM Website"), before);
    }

    // A name or link stored as NULL opens as an empty box; one stored as an empty text shows the word Null.
    void storedNullsAndEmptyTextsOpen()
    {
        WebsiteWindowFixture fixture({{"x", "y", 1}});
        fixture.folder.execute({"UPDATE Website SET WebsiteName = Null, WebsiteLink = ''"});
        QVERIFY(fixture.load());
        QStringList shown;
        fixture.answerNextWindow([&](QDialog& editor) {
            for (const char* box : {"txtWebsiteName", "txtWebsiteLink"})
                shown << editor.findChild<QLineEdit*>(QString::fromLatin1(box))->text();
            editor.reject();
        });
        emit fixture.control<FlexGrid>("MSFlexGrid1").dblClick();
        QCOMPARE(shown, (QStringList{"", "Null"}));
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    // A refused save writes nothing, says why and keeps the window open with what was typed.
    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("message");
        QTest::newRow("a character the cipher cannot store")
            << "Café" << QString() << "The Website Name cannot hold the character \"é\"";
        QTest::newRow("a tab") << "a\tb" << QString() << "The Website Name cannot hold the character U+0009";
        QTest::newRow("the first step cannot be written: no website either") << "Bank"
                                                                             << "DROP TABLE WebsiteInstructions"
                                                                             << "Error No: ";
    }

    void refusedSavesWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, breakage);
        QFETCH(QString, message);
        WebsiteWindowFixture fixture({});
        QVERIFY(fixture.load());
        if (!breakage.isEmpty())
            fixture.folder.execute({breakage});
        bool stillOpen = false;
        QString kept;
        fixture.answerNextWindow([&](QDialog& editor) {
            stillOpen = typeAndSave(editor, name, "https://site.test");
            kept = editor.findChild<QLineEdit*>(QStringLiteral("txtWebsiteName"))->text();
        });
        fixture.click("cmdAdd");
        QVERIFY(stillOpen);
        QCOMPARE(kept, name);
        QCOMPARE(fixture.dialogs.messages.size(), 1);
        QVERIFY2(fixture.dialogs.messages.first().prompt.startsWith(message),
                 qPrintable(fixture.dialogs.messages.first().prompt));
        QCOMPARE(fixture.column("SELECT count(*) FROM Website"), QStringList{"0"});
        QCOMPARE(fixture.control<FlexGrid>("MSFlexGrid1").rows(), 1);
    }
};

QTEST_MAIN(TestWebsiteEditor)
#include "tst_website_editor.moc"
