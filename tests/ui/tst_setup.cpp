// The settings editor on a real data file, opened from the main window as the user opens it.

#include "WebsiteWindowFixture.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/SetupStatements.h"
#include "data/StatementText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace {

const QString PasswordName = QStringLiteral("Master Password");
const QString MinutesName = QStringLiteral("Number Minutes Before Requiring Password Again");

// An input found as a person finds it: by its label.
QLineEdit& box(QDialog& editor, const QString& accessibleName)
{
    for (QLineEdit* found : editor.findChildren<QLineEdit*>()) {
        if (found->accessibleName() == accessibleName)
            return *found;
    }
    throw std::runtime_error("no box " + accessibleName.toStdString());
}

// The whole settings row, each value as an SQL literal, so that Null, text and number tell apart.
QString settingsRow(const WebsiteWindowFixture& fixture)
{
    return fixture
        .column("SELECT quote(MasterPassword) || '|' || quote(NumMinutesBeforeRequiringPasswordAgain) || '|' || "
                "quote(DefaultToLauncher) || '|' || quote(LauncherHeight) || '|' || quote(LauncherWidth) || '|' || "
                "quote(FormHeight) || '|' || quote(FormWidth) FROM Setup")
        .value(0);
}

// Opens the editor with a main-window command, lets the answer work in it and closes it with Cancel when the
// answer left it open. False when no editor opened.
bool inSetup(WebsiteWindowFixture& fixture, const char* command, const std::function<void(QDialog&)>& answer)
{
    bool opened = false;
    fixture.answerNextWindow([&](QDialog& editor) {
        opened = true;
        answer(editor);
        if (editor.isVisible())
            QTest::mouseClick(editor.findChild<QWidget*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    });
    fixture.click(command);
    return opened;
}

void type(QDialog& editor, const QString& password, const QString& minutes, bool launcher)
{
    box(editor, PasswordName).setText(password);
    box(editor, MinutesName).setText(minutes);
    editor.findChild<QCheckBox*>()->setChecked(launcher);
}

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT

private slots:
    void updateStatementText()
    {
        QCOMPARE(
            UpdateSetupStatement("'x'", "'5'", true, {std::nullopt, 4200, 7000.5, std::nullopt}),
            QStringLiteral("UPDATE Setup SET MasterPassword = 'x',  NumMinutesBeforeRequiringPasswordAgain = '5',  "
                           "DefaultToLauncher = 1,  LauncherHeight = Null,  LauncherWidth = 4200,  "
                           "FormHeight = 7000.5,  FormWidth = Null WHERE SetupID = 1"));
    }

    // The row as stored is shown, then written back with what was typed, the sizes as they were; the new settings
    // hold at once, and the password at the next start.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("storedPassword");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("shownMinutes");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<bool>("launcher");
        const auto row = [](const char* name, const char* command, const QString& storedPassword,
                            const QStringList& stored, const QString& shownMinutes, const QString& password,
                            const QString& minutes, bool launcher) {
            QTest::newRow(name) << QByteArray(command) << storedPassword << stored << shownMinutes << password
                                << minutes << launcher;
        };
        row("no password yet; quotes and blanks typed", "cmdSetup", "",
            {"NumMinutesBeforeRequiringPasswordAgain = 20", "LauncherWidth = 4321.5"}, "20", " O'Neil's \"pass\" ",
            " 5 ", true);
        // the enciphered form of this password begins and ends with a blank
        row("enciphered form with blanks at its ends", "mnuSetup", "old",
            {"DefaultToLauncher = 1", "FormHeight = Null", "LauncherHeight = 3000"}, "15",
            dsEncrypt().Encrypt2(QStringLiteral(" it's \"x\" ")), "2.5", false);
        row("cleared password: none is asked", "mnuSetup", "old", {"NumMinutesBeforeRequiringPasswordAgain = Null"}, "",
            "", "1", false);
    }

    void roundTrip()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, storedPassword);
        QFETCH(QStringList, stored);
        QFETCH(QString, shownMinutes);
        QFETCH(QString, password);
        QFETCH(QString, minutes);
        QFETCH(bool, launcher);
        dsEncrypt cipher;
        if (!storedPassword.isEmpty())
            stored << "MasterPassword = " + QuotedValue(cipher.Encrypt2(storedPassword));
        WebsiteWindowFixture fixture({}, stored);
        fixture.dialogs.answers = {storedPassword};
        QVERIFY(fixture.load());
        const bool storedLauncher = gblnDefaultToLauncher;
        const QString sizesBefore = settingsRow(fixture).section('|', 3);

        QVERIFY(inSetup(fixture, command.constData(), [&](QDialog& editor) {
            QLineEdit& minutesBox = box(editor, MinutesName);
            QCOMPARE(box(editor, PasswordName).text(), storedPassword);
            QCOMPARE(box(editor, PasswordName).echoMode(), QLineEdit::Password);
            QCOMPARE(minutesBox.text(), shownMinutes);
            QCOMPARE(editor.findChild<QCheckBox*>()->isChecked(), storedLauncher);
            QCOMPARE(editor.findChild<QCheckBox*>()->text(), QStringLiteral("Default To Launcher"));
            QCOMPARE(editor.focusWidget(), &minutesBox);
            QCOMPARE(minutesBox.cursorPosition(), shownMinutes.size());
            QVERIFY(!minutesBox.hasSelectedText());
            type(editor, password, minutes, launcher);
            QTest::mouseClick(editor.findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::LeftButton);
            QVERIFY(!editor.isVisible());
        }));
        QVERIFY(fixture.dialogs.messages.isEmpty());
        const QString row = settingsRow(fixture);
        QCOMPARE(row.section('|', 1), minutes.trimmed() + (launcher ? "|1|" : "|0|") + sizesBefore);
        const QString enciphered = fixture.column("SELECT MasterPassword FROM Setup").value(0);
        QCOMPARE(cipher.Encrypt2(enciphered), password); // untrimmed: the same length as typed
        QCOMPARE(row.startsWith("NULL|"), password.isEmpty());
        QCOMPARE(gblnDefaultToLauncher, launcher);
        QCOMPARE(gdblRelockMinutes, minutes.toDouble());
        QCOMPARE(gdblMinutesLeft, gdblRelockMinutes);

        // the next start asks for the new password, and for nothing when there is none
        fixture.dialogs.prompts.clear();
        fixture.dialogs.answers = {password};
        frmWebsite nextStart;
        QVERIFY(nextStart.Form_Load());
        QCOMPARE(fixture.dialogs.prompts.size(), password.isEmpty() ? 0 : 1);
        QCOMPARE(gdblRelockMinutes, minutes.toDouble());
    }

    // A refused value is named and the window stays open with what was typed; Cancel then writes nothing and leaves
    // the idle count running.
    void refusedAndCancelled_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("refusal"); // words of the message; empty: Cancel without OK
        const auto row = [](const char* name, const QString& password, const QString& minutes, const QString& refusal) {
            QTest::newRow(name) << password << minutes << refusal;
        };
        const QString period = QStringLiteral("The Number Minutes Before Requiring Password Again must be a number");
        const QString character = QStringLiteral("The Master Password cannot hold the character ");
        row("cancel", "new", "9", "");
        row("no minutes", "new", "  ", period);
        row("words", "new", "five", period);
        row("a number and words", "new", "5 minutes", period);
        row("a thousands separator", "new", "1,000", period);
        row("zero", "new", "0.0", period);
        row("negative", "new", "-3", period);
        row("a tab in the password", "a\tb", "9", character + "U+0009");
        row("an accented letter", "café", "9", character + "\"é\"");
    }

    void refusedAndCancelled()
    {
        QFETCH(QString, password);
        QFETCH(QString, minutes);
        QFETCH(QString, refusal);
        WebsiteWindowFixture fixture({});
        QVERIFY(fixture.load());
        const QString before = settingsRow(fixture);
        const double period = gdblRelockMinutes;
        QVERIFY(inSetup(fixture, "mnuSetup", [&](QDialog& editor) {
            type(editor, password, minutes, true);
            if (!refusal.isEmpty())
                QTest::mouseClick(editor.findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::LeftButton);
            QVERIFY(editor.isVisible());
            QCOMPARE(box(editor, PasswordName).text(), password);
            QCOMPARE(box(editor, MinutesName).text(), minutes);
            gdblMinutesLeft = 1; // a tick went by while the window was open
        }));
        QCOMPARE(fixture.dialogs.messages.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QVERIFY2(fixture.dialogs.messages.first().prompt.startsWith(refusal),
                     qPrintable(fixture.dialogs.messages.first().prompt));
        QCOMPARE(settingsRow(fixture), before);
        QCOMPARE(gdblMinutesLeft, 1.0);
        QCOMPARE(gdblRelockMinutes, period);
        QVERIFY(!gblnDefaultToLauncher);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
