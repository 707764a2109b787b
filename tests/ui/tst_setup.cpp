// The settings editor on a real data file, opened from the main window as the user opens it.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "system/app/basModule1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

namespace {

const QString Cancel = QStringLiteral("(Cancel)"); // a refusal that is no refusal: Cancel is pressed instead of OK

// The whole settings row, each value as an SQL literal, so that Null, text and number tell apart.
const QString SettingsRow =
    QStringLiteral("SELECT quote(MasterPassword) || '|' || quote(NumMinutesBeforeRequiringPasswordAgain) || '|' || "
                   "quote(DefaultToLauncher) || '|' || quote(LauncherHeight) || '|' || quote(LauncherWidth) || '|' || "
                   "quote(FormHeight) || '|' || quote(FormWidth) FROM Setup");

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT

private slots:
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
        row("113 characters, a password the utility keeps too", "", {}, "15", QString(113, QLatin1Char('K')), "5",
            false, "");
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
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
