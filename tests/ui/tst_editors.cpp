// The editors on a real data file: the website editor and the settings editor; a website's steps, in the step list
// and the step editor; the event type list and its editor, where the behaviour that every list window shares
// (commands, heading row, Delete key, least size, grid name) is tested once; the modal windows that every editor is.
// And the editors while another program, a connection of its own, works on the same data file.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/db/Connection.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/FormSize.h"
#include "system/app/DataFileProtection.h"
#include "system/app/StoredTexts.h"
#include "system/app/basModule1.h"
#include "system/launch/ReplayClock.h"
#include "ui/ModalWindow.h"
#include "ui/maintenance/frmEditWebsite.h"
#include "ui/maintenance/frmEventType.h"
#include "ui/maintenance/frmWebsiteInstructions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// A settings row whose file is protected under its stored password says so among its stored settings.
const QString Protected = QStringLiteral("protected");

void chooseType(QDialog& editor, const QString& type)
{
    auto* types = editor.findChild<QComboBox*>();
    types->setCurrentIndex(types->findText(type));
}

void clickOK(QDialog& editor)
{
    editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

const QString Cancel = QStringLiteral("(Cancel)"); // a refusal that is no refusal: Cancel is pressed instead of OK

// The whole settings row, each value as an SQL literal, so that Null, text and number tell apart.
const QString SettingsRow =
    QStringLiteral("SELECT quote(MasterPassword) || '|' || quote(NumMinutesBeforeRequiringPasswordAgain) || '|' || "
                   "quote(DefaultToLauncher) || '|' || quote(LauncherHeight) || '|' || quote(LauncherWidth) || '|' || "
                   "quote(FormHeight) || '|' || quote(FormWidth) FROM Setup");

// A new step typed in: the event types chosen, the number and the text typed; the number box after OK (or
// "closed"); the step stored, or the message's first sentence; the steps the website held before.
struct NewStep
{
    const char *choices, *number, *text, *afterOK, *outcome;
    double minutesLeft;
    int stepsBefore = 0;
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
    // a one-time code's secret is kept as typed, and OK refuses one that gives no codes
    {"One-Time Code", "7", "jbsw y3dp ehpk 3pxp", "closed", "6|Null|jbsw y3dp ehpk 3pxp", 9},
    {"One-Time Code", "", "otpauth://totp/x?secret=JBSW&digits=9", "",
     "The one-time code secret gives digits as \"9\"; it must be a whole number from 6 to 8.", 9},
    // a website holds at most the steps a launch replays
    {"Enter", "", "", "", "A website has at most 500 steps, and this one has them all: the step was not added.", 9,
     500},
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
            clickOK(editor);
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

// Another program that holds the fixture's data file locked, through the program's own connection, until it ends.
std::unique_ptr<Connection> lockingProgram(const TempDataFolder& folder)
{
    auto other = std::make_unique<Connection>();
    other->setConnectionString(QStringLiteral("Data Source=") + folder.dataFilePath());
    other->open();
    other->execute(QStringLiteral("BEGIN EXCLUSIVE"));
    return other;
}

// The steps' fixture with a step for each website and one for a website that is gone, the second website's first
// step current in its list, and the event type list open with Wait current.
struct TwoProgramsFixture : StepsFixture
{
    std::unique_ptr<frmEventType> eventTypes;

    TwoProgramsFixture() : StepsFixture({"1, 4, 10, Null", "2, 4, 10, Null", "99, 4, 5, 'orphan'"})
    {
        grid->setRow(1);
        eventTypes = std::make_unique<frmEventType>(window.get());
        eventTypes->show();
        eventTypes->findChild<FlexGrid*>()->setRow(4);
    }

    // Every row of every table, as SQL literals.
    QStringList everything() const
    {
        return column("SELECT group_concat(quote(WebsiteID) || quote(WebsiteName) || quote(WebsiteLink), ';') "
                      "FROM Website") +
               column("SELECT group_concat(quote(WebsiteID) || quote(EventTypeID) || quote(NumberOfTimes) || "
                      "quote(TextToTypeIn), ';') FROM WebsiteInstructions") +
               column("SELECT group_concat(quote(EventType), ';') FROM EventType") + column(SettingsRow);
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
            list->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        else if (how == "step")
            emit grid->dblClick();
        else if (how == "event type")
            emit eventTypes->findChild<FlexGrid*>()->dblClick();
    }
};

} // namespace

class TestEditors : public QObject
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
        // the empty list says so in its heading, its key column shown, and no row current
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(grid.textMatrix(0, 0)).arg(grid.row()).arg(grid.colWidthTwips(0)),
                 QStringLiteral("0 Records 0 1000"));
        QCOMPARE(fixture.control<QListWidget>("lstWebsites").count(), 0);
        QStringList kept; // whether the editor stayed open after OK, and the name it kept
        // Types into the editor's boxes and presses OK; returns whether the editor stayed open, and the name it shows.
        const auto typeAndSave = [](QDialog& editor, const QString& name, const QString& link) {
            auto& nameBox = field<QLineEdit>(editor, "Website Name");
            nameBox.setText(name);
            field<QLineEdit>(editor, "Website Link").setText(link);
            clickOK(editor);
            return (editor.isVisible() ? "open " : "closed ") + nameBox.text();
        };
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
        add({"a\tb", "  O'Brien \"Mail\"  "}, " ");
        QCOMPARE(kept, (QStringList{"open a\tb", "closed   O'Brien \"Mail\"  "}));
        QVERIFY(
            fixture.dialogs.messageTexts().join("").startsWith("The Website Name cannot hold the character U+0009. "));
        QCOMPARE(gdblMinutesLeft, 9.0);
        QCOMPARE(shows(1, 1), QStringLiteral("2x5 O'Brien \"Mail\"")); // the refused saves wrote nothing
        // a blank link stored as NULL; the first in an empty list
        QCOMPARE(fixture.column("SELECT quote(WebsiteLink) || ' ' || WebsiteListOrder FROM Website"),
                 QStringList{"NULL 1"});

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
        QCOMPARE(fixture.dialogs.messages.size(), 2);
        QVERIFY(fixture.dialogs.messages.last().prompt.startsWith("Error No: "));
        QCOMPARE(fixture.column(texts), before);
        QCOMPARE(grid.rows(), 3);

        // the pause between keys: a whole number of milliseconds up to a second, a refused one kept for correcting
        fixture.answerNextWindow([&](QDialog& editor) {
            auto& pause = field<QLineEdit>(editor, "Pause Between Keys (ms)");
            kept << pause.text();
            for (const char* typed : {"1001", "2.5", " 50 "}) {
                pause.setText(typed);
                clickOK(editor);
                kept << (editor.isVisible() ? "open " : "closed ") + pause.text();
            }
            editor.reject();
        });
        grid.setRow(2);
        emit grid.dblClick();
        QCOMPARE(kept.mid(kept.size() - 4), (QStringList{"0", "open 1001", "open 2.5", "closed  50 "}));
        QCOMPARE(fixture.column("SELECT KeyPauseMilliseconds FROM Website WHERE WebsiteID = 2"), QStringList{"50"});
    }

    // The stored row is shown, the caret after the minutes, and a stored password only as a stand-in that any edit
    // replaces. OK writes what was typed back, the sizes as they were, and the password as a verifier; the new
    // settings hold at once, and the password at the next start. A refused value is named and keeps the window open
    // with what was typed; a refusal and Cancel write nothing and leave the idle count running.
    void edit_data()
    {
        QTest::addColumn<QString>("storedPassword");
        QTest::addColumn<QStringList>("stored");
        // typed: the keys typed into the password box, "\b" a Backspace; password: the one asked at the next start
        for (const char* column : {"shownMinutes", "typed", "password", "minutes"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<QString>("refusal"); // the start of the message; empty when saved
        const auto row = [](const char* name, const QString& storedPassword, const QStringList& stored,
                            const QString& shownMinutes, const QString& typed, const QString& password,
                            const QString& minutes, bool launcher, const QString& refusal) {
            QTest::newRow(name) << storedPassword << stored << shownMinutes << typed << password << minutes << launcher
                                << refusal;
        };
        row("no password yet; quotes and blanks typed", "",
            {"NumMinutesBeforeRequiringPasswordAgain = 20", "LauncherWidth = 4321.5"}, "20", " O'Neil's \"pass\" ",
            " O'Neil's \"pass\" ", " 5 ", true, "");
        row("the password kept while its box is left", "old",
            {"DefaultToLauncher = 1", "FormHeight = Null", "LauncherHeight = 3000"}, "15", "", "old", "2.5", false, "");
        row("Backspace empties the box: none is asked", "old", {"NumMinutesBeforeRequiringPasswordAgain = Null"}, "",
            "\b", "", "1", false, "");
        const QString period = QStringLiteral("The Number Minutes Before Requiring Password Again must be a number");
        row("cancel", "", {}, "15", "new", "", "9", true, Cancel);
        row("no minutes", "old", {}, "15", "new", "", "  ", true, period);
        row("beyond what the idle count counts", "", {}, "15", "new", "", "1e16", true, period);
        // minutes stored by other means, out of range, are kept and do not stop the other settings being saved
        row("stored minutes out of range, kept", "", {"NumMinutesBeforeRequiringPasswordAgain = -5"}, "-5", "new",
            "new", "-5", true, "");
        row("a character the check file cannot hold, named", "old", {}, "15", "k\u00e9y", "", "9", true,
            QStringLiteral("The Master Password cannot hold the character \"\u00e9\" (U+00E9)."));
        // a protected file's data key is wrapped under the new password; without a password it could not be opened
        row("protected: the key follows the new password", "old", {Protected}, "15", "new", "new", "9", true, "");
        row("protected: the password cannot be removed", "old", {Protected}, "15", "\b", "", "9", true,
            QStringLiteral("The websites are protected under the master password, so it cannot be removed."));
    }

    void edit()
    {
        QFETCH(QString, storedPassword);
        QFETCH(QStringList, stored);
        QFETCH(QString, shownMinutes);
        QFETCH(QString, typed);
        QFETCH(QString, password);
        QFETCH(QString, minutes);
        QFETCH(bool, launcher);
        QFETCH(QString, refusal);
        if (!storedPassword.isEmpty())
            stored << "MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf(storedPassword));
        const bool protectedFile = stored.removeAll(Protected) > 0;
        WebsiteWindowFixture fixture({}, stored);
        const auto unprotected = qScopeGuard([] { useFieldCipher(); });
        if (protectedFile)
            ProtectStoredTexts(storedPassword, KeyDerivation::fresh(1, 8192));
        fixture.dialogs.answers = {storedPassword};
        QVERIFY(fixture.load());
        const bool storedLauncher = gblnDefaultToLauncher;
        const QString before = fixture.column(SettingsRow).value(0);

        bool stillOpen = true;
        QString shownPassword;
        fixture.answerNextWindow([&](QDialog& editor) {
            const auto close = qScopeGuard([&] { editor.reject(); }); // also when a check fails
            auto* passwordBox = editor.findChild<QLineEdit*>(QStringLiteral("txtMasterPassword"));
            auto* minutesBox =
                editor.findChild<QLineEdit*>(QStringLiteral("txtNumMinutesBeforeRequiringPasswordAgain"));
            auto* launcherBox = editor.findChild<QCheckBox*>();
            QCOMPARE(passwordBox->displayText() + '|' + minutesBox->text(),
                     QString(storedPassword.isEmpty() ? 0 : 8, u'*') + '|' + shownMinutes);
            QVERIFY(storedPassword.isEmpty() || !passwordBox->text().contains(storedPassword));
            QCOMPARE(passwordBox->echoMode(), QLineEdit::Password);
            QCOMPARE(launcherBox->isChecked(), storedLauncher);
            QCOMPARE(editor.focusWidget(), minutesBox);
            QCOMPARE(minutesBox->cursorPosition(), shownMinutes.size());
            QVERIFY(!minutesBox->hasSelectedText());
            passwordBox->setFocus();
            for (QChar c : typed) {
                const bool backspace = c == u'\b';
                QTest::sendKeyEvent(QTest::Click, passwordBox, backspace ? Qt::Key_Backspace : Qt::Key_unknown,
                                    backspace ? QString() : QString(c), Qt::NoModifier);
            }
            shownPassword = passwordBox->text();
            minutesBox->setText(minutes);
            launcherBox->setChecked(launcher);
            gdblMinutesLeft = 1; // a tick went by while the window was open
            QTest::mouseClick(editor.findChild<QWidget*>(refusal == Cancel ? "cmdCancel" : "cmdOK"), Qt::LeftButton);
            stillOpen = editor.isVisible();
            QCOMPARE(passwordBox->text() + '|' + minutesBox->text(), shownPassword + '|' + minutes);
        });
        fixture.click(storedPassword.isEmpty() ? "cmdSetup" : "mnuSetup"); // the button and the menu command
        QCOMPARE(stillOpen, !refusal.isEmpty() && refusal != Cancel);
        QCOMPARE(fixture.dialogs.messages.size(), stillOpen ? 1 : 0);
        if (stillOpen)
            QCOMPARE(fixture.dialogs.messages.first().prompt.left(refusal.size()), refusal);
        if (!refusal.isEmpty()) { // nothing written, nothing applied, the idle count left running
            QCOMPARE(shownPassword, QString(typed).remove(u'\b'));
            QCOMPARE(fixture.column(SettingsRow).value(0), before);
            QCOMPARE((QList<double>{gdblMinutesLeft, gdblRelockMinutes, double(gblnDefaultToLauncher)}),
                     (QList<double>{1, shownMinutes.toDouble(), double(storedLauncher)}));
            return;
        }
        const QString row = fixture.column(SettingsRow).value(0);
        QCOMPARE(row.section('|', 1), minutes.trimmed() + (launcher ? "|1|" : "|0|") + before.section('|', 3));
        QCOMPARE(row.startsWith("NULL|"), password.isEmpty());
        const QString verifier = fixture.column("SELECT MasterPassword FROM Setup").value(0);
        QVERIFY(password.isEmpty() || PasswordCheck::isDerivedKeyText(verifier));
        if (typed.isEmpty())
            QCOMPARE(row.section('|', 0, 0), before.section('|', 0, 0)); // kept, salt and all
        QCOMPARE((QList<double>{gdblMinutesLeft, gdblRelockMinutes, double(gblnDefaultToLauncher)}),
                 (QList<double>{minutes.toDouble(), minutes.toDouble(), double(launcher)})); // held at once

        // the next start asks for the new password, refuses another, and asks nothing when there is none
        fixture.dialogs.prompts.clear();
        fixture.dialogs.answers = {password};
        frmWebsite nextStart;
        QVERIFY(nextStart.Form_Load());
        QCOMPARE(fixture.dialogs.prompts.size(), password.isEmpty() ? 0 : 1);
        if (!password.isEmpty())
            QVERIFY(!StoredMasterPassword::fromStored(verifier, *gobjEncrypt).opensWith(storedPassword + 'x'));
    }

    // A modal window is made on demand, one at a time (a second Show brings the open one forward), and deleted when
    // it closes; also when a re-lock closes the program, and the window's owner with it, while it is open.
    void modalWindowsOneAtATime()
    {
        using Window = ModalWindow<QDialog>;
        QWidget owner;
        QPointer<QDialog> first;
        int secondResult = -1;
        QTimer::singleShot(0, [&] {
            first = Window::OpenInstance();
            secondResult = Window::Show(&owner);
            Window::OpenInstance()->accept();
        });
        QCOMPARE(Window::Show(&owner), int(QDialog::Accepted));
        QCOMPARE(secondResult, int(QDialog::Rejected));
        QVERIFY(!first && !owner.findChild<QDialog*>()); // the one made is deleted, and no other was made
        auto* goneOwner = new QWidget;
        QTimer::singleShot(0, [goneOwner] { delete goneOwner; });
        QCOMPARE(Window::Show(goneOwner), int(QDialog::Rejected));
        QVERIFY(!Window::OpenInstance());
    }

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
        StepsFixture fixture(QStringList(step.stepsBefore, QStringLiteral("2, 2, Null, Null")));
        fixture.inEditor("cmdAdd", [&](QDialog& editor) {
            QTest::keyClicks(&field<QLineEdit>(editor, "Number Of Times"), step.number);
            field<QLineEdit>(editor, "Text To Type In").setText(QString::fromUtf8(step.text));
            for (const QString& choice : QString(step.choices).split(','))
                chooseType(editor, choice);
        });
        QCOMPARE(fixture.afterOK, QString::fromUtf8(step.afterOK));
        const QString message = fixture.dialogs.messageTexts().join("").section(". ", 0, 0); // its first sentence
        QCOMPARE(fixture.stored().mid(step.stepsBefore).join("") + message, QString::fromUtf8(step.outcome));
        QCOMPARE(gdblMinutesLeft, step.minutesLeft);
        QCOMPARE(fixture.grid->textMatrix(0, 0),
                 message.isEmpty() || step.stepsBefore ? "Website Instructions ID" : "0 Records");
    }

    // Choosing a step type over disabled boxes holding "7" and "x": the caption and the boxes (enabled, text) it
    // leaves. A box is enabled, disabled and emptied, or left as it is; a type added by the user whose name differs
    // only in case is no known type and changes nothing.
    void choosingATypeSetsTheBoxes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* type, const char* shown) {
            QTest::newRow(type) << QString(type) << QString(shown);
        };
        row("Wait", "Number of Seconds|1 7|0 ");
        row("Tab", "Number of Times|1 7|0 ");
        row("Enter", "Number of Times|0 |0 ");
        row("Text", "Number Of Times|0 |1 x");
        row("Shift+Tab", "Number Of Times|0 7|0 x");
        row("wait", "Number Of Times|0 7|0 x");
    }

    void choosingATypeSetsTheBoxes()
    {
        QFETCH(QString, type);
        StepsFixture fixture;
        QString seen;
        fixture.answerNextWindow([&](QDialog& editor) {
            auto& number = field<QLineEdit>(editor, "Number Of Times");
            auto& text = field<QLineEdit>(editor, "Text To Type In");
            number.setText("7");
            number.setEnabled(false);
            text.setText("x");
            text.setEnabled(false);
            chooseType(editor, type);
            QStringList state{editor.findChild<QLabel*>(QStringLiteral("lblNumberOfTimes"))->text()};
            for (QLineEdit* box : {&number, &text})
                state << QStringLiteral("%1 %2").arg(box->isEnabled()).arg(box->text());
            seen = state.join('|');
            editor.reject();
        });
        fixture.list->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        QTEST(seen, "shown");
    }

    // Beside a one-time code's secret the editor shows the code of the moment, or what is wrong with the secret.
    void oneTimeCodeShownAsTyped()
    {
        StepsFixture fixture;
        const ReplayClockForTest clock(59000); // RFC 6238's first moment, a second before its period ends
        QStringList shown;
        fixture.answerNextWindow([&](QDialog& editor) {
            chooseType(editor, "One-Time Code");
            for (const char* secret : {"GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ", "GEZD1"}) {
                field<QLineEdit>(editor, "Text To Type In").setText(secret);
                shown << editor.findChild<QLabel*>(QStringLiteral("lblCodeNow"))->text();
            }
            chooseType(editor, "Text");
            shown << editor.findChild<QLabel*>(QStringLiteral("lblCodeNow"))->text();
            editor.reject();
        });
        fixture.list->findChild<QPushButton*>(QStringLiteral("cmdAdd"))->click();
        QCOMPARE(shown, (QStringList{"287082 (1 s left)",
                                     "(the secret holds the character \"1\", which Base32 does not use (it uses A to "
                                     "Z and 2 to 7).)",
                                     ""}));
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
            chooseType(editor, "Tab");
        });
        QCOMPARE(chosen, QStringLiteral("-1 (missing)"));
        QCOMPARE(fixture.stored() + columnTexts(grid, 4), (QStringList{"3|5|", "2|Null|", "Tab", "Enter"}));
        QCOMPARE(fixture.dialogs.messageTexts(),
                 (QStringList{"Select a website in the list first.",
                              "2 steps of this event type are kept. In the lists of their websites' steps they now "
                              "show the event type \"(missing)\", and a launch refuses their websites until each is "
                              "given another event type or deleted."}));
    }

    // A command on the current row: the name the editor opened with (none when it did not open), and the names
    // stored and listed. An empty table (no command) opens the editor at once, and its type is appended below the
    // "0 Records" heading. Nothing here counts as activity for the re-lock.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed"); // nothing: Cancel
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("stored");
        const QStringList types{"Text", "Enter", "Tab", "Wait", "Shift+Tab", "One-Time Code"};
        const auto row = [](const char* tag, const char* command, int current, const char* typed,
                            const QStringList& opened, const QStringList& stored) {
            QTest::newRow(tag) << command << current << typed << opened << stored;
        };
        row("empty table, OK", "", 0, "Wait", {""}, {"Wait"});
        row("empty table, Cancel", "", 0, nullptr, {""}, {});
        row("add, trimmed, quote kept", "cmdAdd", 2, "  Shift's  ", {""}, types + QStringList{"Shift's"});
        row("rename", "double-click", 4, "wait", {"Wait"}, QStringList(types).replaceInStrings("Wait", "wait"));
        row("blank stored as Null", "double-click", 1, "   ", {"Text"}, QStringList{"<Null>"} + types.mid(1));
        row("heading row opens nothing", "double-click", 0, "New", {}, types);
        row("Delete button", "cmdDelete", 5, nullptr, {}, types.mid(0, 4) << types[5]);
        row("Delete key", "Delete key", 2, nullptr, {}, QStringList{"Text"} + types.mid(2));
        row("Delete on the heading row", "Delete key", 0, nullptr, {}, types);
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
        QStringList opened; // the name the editor opened with; it types the one given and clicks OK, or else Cancel
        WebsiteWindowFixture::answerNextWindow([&opened, typed](QDialog& editor) { // opened by the load or the command
            auto& box = field<QLineEdit>(editor, "Event Type");
            opened << box.text();
            box.setText(typed);
            editor.findChild<QPushButton*>(typed.isNull() ? "cmdCancel" : "cmdOK")->click();
        });
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

    // An editor opened while the other program holds the data file locked says why and does not open (every editor
    // reads its record through the same load); once the lock goes, every record is as it was. Nor does an editor
    // that could not read its record save at OK once the lock is gone: it would write its empty boxes over the
    // record. (That window never shows, so OK is pressed on it directly.)
    void lockedRecordIsNeitherOpenedNorSaved()
    {
        TwoProgramsFixture fixture;
        const QStringList before = fixture.everything();
        std::unique_ptr<Connection> other = lockingProgram(fixture.folder);
        bool opened = false;
        fixture.answerNextWindow([&](QDialog& editor) { // were it to open: emptied and saved once the lock is gone
            opened = true;
            other.reset();
            for (QLineEdit* box : editor.findChildren<QLineEdit*>())
                box->clear();
            clickOK(editor);
            editor.reject();
        });
        fixture.open("step");
        other.reset();
        QTest::qWait(50); // the answer, had a window opened
        QCOMPARE(fixture.everything(), before);
        QVERIFY(!opened);
        const QStringList messages = fixture.dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains("The Website Instructions window does not open") &&
                     messages[0].contains("locked"),
                 qPrintable(messages[0]));

        other = lockingProgram(fixture.folder);
        gblnNewRecord = false;
        fixture.window->mWebsiteID = 2;
        frmEditWebsite editor(*fixture.window, fixture.window.get());
        QVERIFY(!editor.Form_Load());
        other.reset();
        clickOK(editor);
        QCOMPARE(fixture.everything(), before);
    }

    // A save that OK refuses says why, writes nothing and keeps the window open with what was typed: the other
    // program deleted the record (or the step's website) while the editor was open, or a text is longer than a stored
    // text may be (every editor checks all its boxes so, before its own checks). The longest text that may be stored
    // is stored whole. An orphan step stored before stays as it was.
    void refusedSave_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("box"); // the box typed into
        QTest::addColumn<QString>("deletion");
        QTest::addColumn<int>("length");      // of the text typed; 0 for "typed"
        QTest::addColumn<QString>("message"); // its start; empty when saved
        const QString website = QStringLiteral("This website was deleted in another window.");
        const QString deleteWebsite = QStringLiteral("DELETE FROM Website WHERE WebsiteID = 2");
        const QString tooLong = QStringLiteral("The %1 is too long: it holds 32,768 characters, and a stored text may "
                                               "hold at most 32,767.");
        const int most = dsEncrypt::MaxTextLength;
        const auto row = [](const char* tag, const char* how, const char* box, const QString& deletion, int length,
                            const QString& message) {
            QTest::newRow(tag) << QString(how) << box << deletion << length << message;
        };
        row("rename a website", "website", "Website Name", deleteWebsite, 0, website);
        row("add a step", "new step", "Text To Type In", deleteWebsite, 0, website);
        row("change a step of a deleted website", "step", "Text To Type In", deleteWebsite, 0, website);
        row("change a deleted step", "step", "Text To Type In", "DELETE FROM WebsiteInstructions WHERE WebsiteID = 2",
            0, "This step was deleted in another window.");
        row("rename a deleted event type", "event type", "Event Type", "DELETE FROM EventType", 0,
            "This event type was deleted in another window.");
        row("settings row gone", "setup", "Master Password", "DELETE FROM Setup", 0,
            "The data file holds no settings row");
        row("too long a name", "website", "Website Name", {}, most + 1, tooLong.arg("Website Name"));
        const char* minutes = "Number Minutes Before Requiring Password Again";
        row("too long a number", "setup", minutes, {}, most + 1, tooLong.arg(minutes));
        row("the longest name, stored whole", "website", "Website Name", {}, most, {});
    }

    void refusedSave()
    {
        QFETCH(QString, how);
        QFETCH(QString, box);
        QFETCH(QString, deletion);
        QFETCH(int, length);
        QFETCH(QString, message);
        TwoProgramsFixture fixture;
        const QString text = length ? QString(length, box.startsWith("Number") ? '1' : 'x') : QStringLiteral("typed");
        QStringList after;
        QString kept;
        bool stillOpen = false;
        fixture.answerNextWindow([&](QDialog& editor) {
            if (!deletion.isEmpty())
                fixture.folder.execute({deletion}); // by another program
            after = fixture.everything();
            if (how.contains("step"))
                chooseType(editor, "Text");
            auto& input = field<QLineEdit>(editor, qPrintable(box));
            input.setText(text);
            clickOK(editor);
            stillOpen = editor.isVisible();
            kept = input.text();
            editor.reject();
        });
        fixture.open(how);
        QVERIFY(!after.isEmpty());
        QCOMPARE(kept, text);
        if (message.isEmpty()) {
            QVERIFY(!stillOpen && fixture.dialogs.messages.isEmpty());
            QCOMPARE(gobjEncrypt->Encrypt2(fixture.column("SELECT WebsiteName FROM Website WHERE WebsiteID = 2")[0]),
                     text);
            return;
        }
        QVERIFY(stillOpen);
        const QStringList messages = fixture.dialogs.messageTexts();
        QVERIFY2(messages.size() == 1 && messages[0].startsWith(message) && messages[0].endsWith(" Nothing was saved."),
                 qPrintable(messages.join('\n')));
        QCOMPARE(fixture.everything(), after); // the orphan step among them
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
