// The editors opened from the main window, on a real data file: the website editor (Add, a double-click on a row)
// and the settings editor (Setup); and the modal windows that every editor is, made on demand, one at a time,
// deleted when they close.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/grid/FlexGrid.h"
#include "system/app/basModule1.h"
#include "ui/ModalWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

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

const QString Cancel = QStringLiteral("(Cancel)"); // a refusal that is no refusal: Cancel is pressed instead of OK

// The whole settings row, each value as an SQL literal, so that Null, text and number tell apart.
const QString SettingsRow =
    QStringLiteral("SELECT quote(MasterPassword) || '|' || quote(NumMinutesBeforeRequiringPasswordAgain) || '|' || "
                   "quote(DefaultToLauncher) || '|' || quote(LauncherHeight) || '|' || quote(LauncherWidth) || '|' || "
                   "quote(FormHeight) || '|' || quote(FormWidth) FROM Setup");

// A modal window that counts the windows of its kind made and deleted.
int made = 0;
int deleted = 0;

class Editor : public QDialog
{
public:
    explicit Editor(QWidget* owner) : QDialog(owner) { ++made; }
    ~Editor() override { ++deleted; }
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
        add({"a\tb", "  O'Brien \"Mail\"  "}, " ");
        QCOMPARE(kept, (QStringList{"open a\tb", "closed   O'Brien \"Mail\"  "}));
        QVERIFY(
            fixture.dialogs.messageTexts().join("").startsWith("The Website Name cannot hold the character U+0009. "));
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
        QCOMPARE(fixture.dialogs.messages.size(), 2);
        QVERIFY(fixture.dialogs.messages.last().prompt.startsWith("Error No: "));
        QCOMPARE(fixture.column(texts), before);
        QCOMPARE(grid.rows(), 3);
    }

    // The stored row is shown, the caret after the minutes. OK writes what was typed back, the sizes as they were;
    // the new settings hold at once, and the password at the next start. A refused value is named and keeps the
    // window open with what was typed; a refusal and Cancel write nothing and leave the idle count running.
    void edit_data()
    {
        QTest::addColumn<QString>("storedPassword");
        QTest::addColumn<QStringList>("stored");
        for (const char* column : {"shownMinutes", "password", "minutes"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("launcher");
        QTest::addColumn<QString>("refusal"); // the start of the message; empty when saved
        const auto row = [](const char* name, const QString& storedPassword, const QStringList& stored,
                            const QString& shownMinutes, const QString& password, const QString& minutes, bool launcher,
                            const QString& refusal) {
            QTest::newRow(name) << storedPassword << stored << shownMinutes << password << minutes << launcher
                                << refusal;
        };
        row("no password yet; quotes and blanks typed", "",
            {"NumMinutesBeforeRequiringPasswordAgain = 20", "LauncherWidth = 4321.5"}, "20", " O'Neil's \"pass\" ",
            " 5 ", true, "");
        // the enciphered form of this password begins and ends with a blank
        row("enciphered form with blanks at its ends", "old",
            {"DefaultToLauncher = 1", "FormHeight = Null", "LauncherHeight = 3000"}, "15",
            dsEncrypt().Encrypt2(QStringLiteral(" it's \"x\" ")), "2.5", false, "");
        row("cleared password: none is asked", "old", {"NumMinutesBeforeRequiringPasswordAgain = Null"}, "", "", "1",
            false, "");
        const QString period = QStringLiteral("The Number Minutes Before Requiring Password Again must be a number");
        row("cancel", "", {}, "15", "new", "9", true, Cancel);
        row("no minutes", "", {}, "15", "new", "  ", true, period);
        row("a number and words", "", {}, "15", "new", "5 minutes", true, period);
        row("a thousands separator", "", {}, "15", "new", "1,000", true, period);
        row("zero", "", {}, "15", "new", "0.0", true, period);
        row("negative", "", {}, "15", "new", "-3", true, period);
        row("a no-break space", "", {}, "15", "new", "\u00a05", true, period);
        row("beyond what the idle count counts", "", {}, "15", "new", "1e16", true, period);
        row("a week", "", {}, "15", "new", "10080", true, "");
        // minutes stored by other means, out of range, are kept and do not stop the other settings being saved
        row("stored minutes out of range, kept", "", {"NumMinutesBeforeRequiringPasswordAgain = -5"}, "-5", "new", "-5",
            true, "");
        row("a character the cipher cannot store", "", {}, "15", "café", "9", true,
            QStringLiteral("The Master Password cannot hold the character \"é\""));
        row("an emoji, named by its whole code point", "", {}, "15", "k\U0001F600y", "9", true,
            QStringLiteral("The Master Password cannot hold the character \"\U0001F600\" (U+1F600)."));
    }

    void edit()
    {
        QFETCH(QString, storedPassword);
        QFETCH(QStringList, stored);
        QFETCH(QString, shownMinutes);
        QFETCH(QString, password);
        QFETCH(QString, minutes);
        QFETCH(bool, launcher);
        QFETCH(QString, refusal);
        dsEncrypt cipher;
        if (!storedPassword.isEmpty())
            stored << "MasterPassword = " + QuotedValue(cipher.Encrypt2(storedPassword));
        WebsiteWindowFixture fixture({}, stored);
        fixture.dialogs.answers = {storedPassword};
        QVERIFY(fixture.load());
        const bool storedLauncher = gblnDefaultToLauncher;
        const QString before = fixture.column(SettingsRow).value(0);

        bool stillOpen = true;
        fixture.answerNextWindow([&](QDialog& editor) {
            const auto close = qScopeGuard([&] { editor.reject(); }); // also when a check fails
            auto* passwordBox = editor.findChild<QLineEdit*>(QStringLiteral("txtMasterPassword"));
            auto* minutesBox =
                editor.findChild<QLineEdit*>(QStringLiteral("txtNumMinutesBeforeRequiringPasswordAgain"));
            auto* launcherBox = editor.findChild<QCheckBox*>();
            QCOMPARE(passwordBox->text() + '|' + minutesBox->text(), storedPassword + '|' + shownMinutes);
            QCOMPARE(passwordBox->echoMode(), QLineEdit::Password);
            QCOMPARE(launcherBox->isChecked(), storedLauncher);
            QCOMPARE(editor.focusWidget(), minutesBox);
            QCOMPARE(minutesBox->cursorPosition(), shownMinutes.size());
            QVERIFY(!minutesBox->hasSelectedText());
            passwordBox->setText(password);
            minutesBox->setText(minutes);
            launcherBox->setChecked(launcher);
            gdblMinutesLeft = 1; // a tick went by while the window was open
            QTest::mouseClick(editor.findChild<QWidget*>(refusal == Cancel ? "cmdCancel" : "cmdOK"), Qt::LeftButton);
            stillOpen = editor.isVisible();
            QCOMPARE(passwordBox->text() + '|' + minutesBox->text(), password + '|' + minutes);
        });
        fixture.click(storedPassword.isEmpty() ? "cmdSetup" : "mnuSetup"); // the button and the menu command
        QCOMPARE(stillOpen, !refusal.isEmpty() && refusal != Cancel);
        QCOMPARE(fixture.dialogs.messages.size(), stillOpen ? 1 : 0);
        if (stillOpen)
            QCOMPARE(fixture.dialogs.messages.first().prompt.left(refusal.size()), refusal);
        if (!refusal.isEmpty()) { // nothing written, nothing applied, the idle count left running
            QCOMPARE(fixture.column(SettingsRow).value(0), before);
            QCOMPARE((QList<double>{gdblMinutesLeft, gdblRelockMinutes, double(gblnDefaultToLauncher)}),
                     (QList<double>{1, shownMinutes.toDouble(), double(storedLauncher)}));
            return;
        }
        const QString row = fixture.column(SettingsRow).value(0);
        QCOMPARE(row.section('|', 1), minutes.trimmed() + (launcher ? "|1|" : "|0|") + before.section('|', 3));
        QCOMPARE(row.startsWith("NULL|"), password.isEmpty());
        QCOMPARE(cipher.Encrypt2(fixture.column("SELECT MasterPassword FROM Setup").value(0)), password);
        QCOMPARE((QList<double>{gdblMinutesLeft, gdblRelockMinutes, double(gblnDefaultToLauncher)}),
                 (QList<double>{minutes.toDouble(), minutes.toDouble(), double(launcher)})); // held at once

        // the next start asks for the new password, and for nothing when there is none
        fixture.dialogs.prompts.clear();
        fixture.dialogs.answers = {password};
        frmWebsite nextStart;
        QVERIFY(nextStart.Form_Load());
        QCOMPARE(fixture.dialogs.prompts.size(), password.isEmpty() ? 0 : 1);
    }

    // A modal window is made on demand, one at a time (a second Show brings the open one forward), and deleted when
    // it closes; also when a re-lock closes the program, and the window's owner with it, while it is open.
    void modalWindowsOneAtATime()
    {
        made = deleted = 0;
        QWidget owner;
        int secondResult = -1;
        QTimer::singleShot(0, [&] {
            QVERIFY(ModalWindow<Editor>::OpenInstance());
            secondResult = ModalWindow<Editor>::Show(&owner);
            ModalWindow<Editor>::OpenInstance()->accept();
        });
        QCOMPARE(ModalWindow<Editor>::Show(&owner), int(QDialog::Accepted));
        auto* goneOwner = new QWidget;
        QTimer::singleShot(0, [goneOwner] { delete goneOwner; });
        QCOMPARE(ModalWindow<Editor>::Show(goneOwner), int(QDialog::Rejected));
        QCOMPARE((QList<int>{secondResult, made, deleted}), (QList<int>{QDialog::Rejected, 2, 2}));
        QVERIFY(!ModalWindow<Editor>::OpenInstance());
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
