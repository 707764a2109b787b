// The editors while another program works on the same data file: an editor whose record the other program holds
// locked does not open, and nothing is written over the record once the lock goes; a save whose record the other
// program deleted says so, writes nothing and keeps what was typed; no step is stored for a website that is gone.
// The other program is a connection of its own on the data file, as another program has.
// Also here: a text longer than a stored text may be is refused in every box, never cut.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/db/Connection.h"
#include "system/app/basModule1.h"
#include "ui/maintenance/frmEditWebsite.h"
#include "ui/maintenance/frmEventType.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

namespace {

// Another program on the fixture's data file, through the program's own connection: what its statements did (a lock,
// an open transaction) holds until it ends.
class OtherProgram
{
public:
    OtherProgram(const TempDataFolder& folder, const QStringList& statements)
    {
        m_connection.setConnectionString(QStringLiteral("Data Source=") + folder.dataFilePath());
        m_connection.open();
        for (const QString& statement : statements)
            m_connection.execute(statement);
    }

private:
    Connection m_connection;
};

// Two websites (the second current in the main grid) with a step each, a stored master password and saved sizes,
// the main window and the second website's step list open, and the event type list.
struct TwoProgramsFixture : WebsiteWindowFixture
{
    std::unique_ptr<frmWebsiteInstructions> steps;
    std::unique_ptr<frmEventType> eventTypes;

    TwoProgramsFixture()
        : WebsiteWindowFixture({{"Bank", "https://bank.test", 1}, {"Mail", "https://mail.test", 2}},
                               {"MasterPassword = " + QuotedValue(dsEncrypt().Encrypt2("secret")),
                                "LauncherHeight = 3000", "FormWidth = 9100"})
    {
        folder.execute({"INSERT INTO WebsiteInstructions (WebsiteID, EventTypeID, NumberOfTimes, TextToTypeIn) "
                        "VALUES (1, 4, 10, Null), (2, 4, 10, Null), (99, 4, 5, 'orphan')"});
        dialogs.answers = {"secret"};
        load();
        control<FlexGrid>("MSFlexGrid1").setRow(2);
        steps = std::make_unique<frmWebsiteInstructions>(*window, window.get());
        steps->show();
        steps->findChild<FlexGrid*>()->setRow(1);
        eventTypes = std::make_unique<frmEventType>(window.get());
        eventTypes->show();
        eventTypes->findChild<FlexGrid*>()->setRow(4);
        dialogs.messages.clear();
    }

    // Every row of every table, as SQL literals.
    QStringList everything() const
    {
        return column("SELECT group_concat(quote(WebsiteID) || quote(WebsiteName) || quote(WebsiteLink), ';') "
                      "FROM Website") +
               column("SELECT group_concat(quote(WebsiteID) || quote(EventTypeID) || quote(NumberOfTimes) || "
                      "quote(TextToTypeIn), ';') FROM WebsiteInstructions") +
               column("SELECT group_concat(quote(EventType), ';') FROM EventType") +
               column("SELECT quote(MasterPassword) || quote(NumMinutesBeforeRequiringPasswordAgain) || "
                      "quote(DefaultToLauncher) || quote(LauncherHeight) || quote(FormWidth) FROM Setup");
    }

    // Opens an editor as the user does: Setup, a double-click on the current website, Add or a double-click in the
    // step list, a double-click in the event type list.
    void open(const QString& how)
    {
        if (how == "setup")
            click("cmdSetup");
        else if (how == "website")
            emit control<FlexGrid>("MSFlexGrid1").dblClick();
        else if (how == "new step")
            steps->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        else if (how == "step")
            emit steps->findChild<FlexGrid*>()->dblClick();
        else if (how == "event type")
            emit eventTypes->findChild<FlexGrid*>()->dblClick();
    }
};

void chooseType(QDialog& editor, const QString& type)
{
    auto* types = editor.findChild<QComboBox*>();
    types->setCurrentIndex(types->findText(type));
}

void clickOK(QDialog& editor)
{
    editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

} // namespace

class TestOtherProgram : public QObject
{
    Q_OBJECT

private slots:
    // Every editor that reads a record, opened while the other program holds the data file locked: it says why and
    // does not open; once the lock goes, every record is as it was.
    void lockedRecordDoesNotOpen_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("caption");
        for (auto [how, caption] : {std::pair{"website", "Website"},
                                    {"setup", "Setup"},
                                    {"step", "Website Instructions"},
                                    {"event type", "Event Type"}})
            QTest::newRow(how) << QString(how) << QString(caption);
    }

    void lockedRecordDoesNotOpen()
    {
        QFETCH(QString, how);
        QFETCH(QString, caption);
        TwoProgramsFixture fixture;
        const QStringList before = fixture.everything();
        std::optional<OtherProgram> other(std::in_place, fixture.folder, QStringList{"BEGIN EXCLUSIVE"});
        bool opened = false;
        fixture.answerNextWindow([&](QDialog& editor) { // were it to open: emptied and saved once the lock is gone
            opened = true;
            other.reset();
            for (QLineEdit* box : editor.findChildren<QLineEdit*>())
                box->clear();
            clickOK(editor);
            editor.reject();
        });
        fixture.open(how);
        other.reset();
        QTest::qWait(50); // the answer, had a window opened
        QCOMPARE(fixture.everything(), before);
        QVERIFY(!opened);
        const QStringList messages = fixture.dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains("The " + caption + " window does not open") && messages[0].contains("locked"),
                 qPrintable(messages[0]));
    }

    // An editor that could not read its record saves nothing at OK, even once the lock is gone: it would write its
    // empty boxes over the record. (The window never shows, so OK is pressed on it directly.)
    void unreadRecordIsNeverSaved()
    {
        TwoProgramsFixture fixture;
        const QStringList before = fixture.everything();
        std::optional<OtherProgram> other(std::in_place, fixture.folder, QStringList{"BEGIN EXCLUSIVE"});
        gblnNewRecord = false;
        fixture.window->mWebsiteID = 2;
        frmEditWebsite editor(*fixture.window, fixture.window.get());
        QVERIFY(!editor.Form_Load());
        other.reset();
        clickOK(editor);
        QCOMPARE(fixture.everything(), before);
    }

    // The other program deletes the record (or the step's website) while the editor is open: OK says so, writes
    // nothing and keeps the window open with what was typed. An orphan step stored before stays as it was.
    void deletedElsewhere_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("box"); // the box typed into
        QTest::addColumn<QString>("deletion");
        QTest::addColumn<QString>("message");
        const QString website = QStringLiteral("This website was deleted in another window.");
        const QString deleteWebsite = QStringLiteral("DELETE FROM Website WHERE WebsiteID = 2");
        const auto row = [](const char* tag, const char* how, const char* box, const QString& deletion,
                            const QString& message) {
            QTest::newRow(tag) << QString(how) << box << deletion << message;
        };
        row("rename a website", "website", "Website Name", deleteWebsite, website);
        row("add a step", "new step", "Text To Type In", deleteWebsite, website);
        row("change a step of a deleted website", "step", "Text To Type In", deleteWebsite, website);
        row("change a deleted step", "step", "Text To Type In", "DELETE FROM WebsiteInstructions WHERE WebsiteID = 2",
            "This step was deleted in another window.");
        row("rename a deleted event type", "event type", "Event Type", "DELETE FROM EventType",
            "This event type was deleted in another window.");
        row("settings row gone", "setup", "Master Password", "DELETE FROM Setup",
            "The data file holds no settings row");
    }

    void deletedElsewhere()
    {
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(QString, deletion);
        QFETCH(QString, message);
        TwoProgramsFixture fixture;
        QStringList after;
        QString kept;
        bool stillOpen = false;
        fixture.answerNextWindow([&](QDialog& editor) {
            OtherProgram(fixture.folder, {deletion});
            after = fixture.everything();
            if (how.contains("step"))
                chooseType(editor, "Text");
            auto& input = field<QLineEdit>(editor, qPrintable(box));
            input.setText("typed");
            clickOK(editor);
            stillOpen = editor.isVisible();
            kept = input.text();
            editor.reject();
        });
        fixture.open(how);
        QVERIFY(!after.isEmpty());
        QVERIFY(stillOpen);
        QCOMPARE(kept, QStringLiteral("typed"));
        QCOMPARE(fixture.dialogs.messageTexts().value(0).left(message.size()), message);
        QVERIFY(fixture.dialogs.messageTexts().value(0).endsWith(" Nothing was saved."));
        QCOMPARE(fixture.everything(), after);
        QCOMPARE(fixture.column("SELECT TextToTypeIn FROM WebsiteInstructions WHERE WebsiteID = 99"),
                 QStringList{"orphan"});
    }

    // Every box that can be typed into refuses at OK a text longer than a stored text may be, naming the box and
    // keeping the text whole in it; nothing is written. The longest text that may be stored is stored whole.
    void overLongText_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("length");
        const int most = dsEncrypt::MaxTextLength;
        const auto row = [](const char* how, const char* box, int length) {
            QTest::addRow("%s: %s, %d", how, box, length) << QString(how) << QString(box) << length;
        };
        for (const char* box : {"Website Name", "Website Link"})
            row("website", box, most + 1);
        for (const char* box : {"Text To Type In", "Number Of Times"})
            row("new step", box, most + 1);
        row("event type", "Event Type", most + 1);
        for (const char* box : {"Master Password", "Number Minutes Before Requiring Password Again"})
            row("setup", box, most + 1);
        row("website", "Website Name", most); // the longest stored whole
    }

    void overLongText()
    {
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(int, length);
        TwoProgramsFixture fixture;
        const QStringList before = fixture.everything();
        const QString text(length, box == "Number Of Times" || box.startsWith("Number Minutes") ? '1' : 'x');
        qsizetype shown = 0;
        fixture.answerNextWindow([&](QDialog& editor) {
            if (how == "new step")
                chooseType(editor, box == "Text To Type In" ? "Text" : "Wait");
            auto& input = field<QLineEdit>(editor, qPrintable(box));
            input.setText(text);
            clickOK(editor);
            shown = input.text().size();
            editor.reject();
        });
        fixture.open(how);
        QCOMPARE(shown, qsizetype(length));
        if (length == dsEncrypt::MaxTextLength) {
            QCOMPARE(fixture.dialogs.messages.size(), 0);
            QCOMPARE(gobjEncrypt->Encrypt2(fixture.column("SELECT WebsiteName FROM Website WHERE WebsiteID = 2")[0]),
                     text);
            return;
        }
        QCOMPARE(fixture.dialogs.messageTexts(),
                 QStringList{"The " + box +
                             " is too long: it holds 32,768 characters, and a stored text may hold at most 32,767. "
                             "Nothing was saved."});
        QCOMPARE(fixture.everything(), before);
    }
};

QTEST_MAIN(TestOtherProgram)
#include "tst_other_program.moc"
