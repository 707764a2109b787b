// Launching without a display: key strings, page opening and the replay of a website's instructions from a real
// data file into the recording backends; the desktop's browser look-up on temporary XDG trees.

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "domain/error/AppError.h"
#include "domain/steps/OneTimeCode.h"
#include "os/Backends.h"
#include "os/files/FileLock.h"
#include "os/focus/WindowFocus.h"
#include "os/keys/KeyString.h"
#include "os/shell/Shell.h"
#include "platform/keys/SendKeys.h"
#include "platform/screen/Screen.h"
#include "platform/shell/DesktopShell.h"
#include "support/CaughtError.h"
#include "support/RecordingKeySender.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/SeedData.h"
#include "support/TempDataFolder.h"
#include "system/app/basModule1.h"
#include "system/launch/FocusLock.h"
#include "system/launch/LaunchControl.h"
#include "system/launch/OpenWebPage.h"
#include "system/launch/ReplayClock.h"
#include "system/launch/ReplayWebsite.h"
#include "system/launch/WaitMilliseconds.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <map>
#include <optional>

#ifndef Q_OS_WIN
#include "os/shell/DesktopExec.h"
#include "os/shell/XdgShell.h"

#include <sys/stat.h>
#include <unistd.h>
#endif

using Keys::Key;

namespace {

// The event types of a new data file (the sixth is the one-time code), then three whose names are near the ones the
// replay knows, and one without a name.
constexpr int Text = 1, Enter = 2, Tab = 3, Wait = 4, ShiftTab = 5, OneTimeCodeType = 6, LowerCaseWait = 7,
              UpperCaseTab = 8, TabWithBlank = 9, NoName = 10;

// RFC 6238's secret for SHA-1, whose code at 59 s is 94287082 (287082 in six digits).
const QString RfcSecret = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");

const QString Link = QStringLiteral("https://login.example.test/sign-in?next=%2Fhome");

// The strokes written out, one entry each: + ^ % for Shift, Control and Alt, then the character or {NAME},
// and {WAIT <ms>} for a Help key, which no launch sends: the test's mark of a tick of the wait timer.
QStringList described(const std::vector<Keys::KeyStroke>& strokes)
{
    const QMap<Key, QString> names{{Key::Enter, "ENTER"},          {Key::Tab, "TAB"},    {Key::Backspace, "BS"},
                                   {Key::Delete, "DEL"},           {Key::Escape, "ESC"}, {Key::PageDown, "PGDN"},
                                   {Key(int(Key::F1) + 11), "F12"}};
    QStringList out;
    for (const Keys::KeyStroke& s : strokes)
        out << QString(s.modifiers & Keys::Shift ? "+" : "") + (s.modifiers & Keys::Control ? "^" : "") +
                   (s.modifiers & Keys::Alt ? "%" : "") +
                   (s.key == Key::Character ? QString::fromUcs4(&s.character, 1)
                    : s.key == Key::Help    ? QStringLiteral("{WAIT %1}").arg(s.character)
                                            : '{' + names.value(s.key, "?") + '}');
    return out;
}

#ifndef Q_OS_WIN
QString entry(const QString& extra = {})
{
    return "[Desktop Entry]\nType=Application\nName=Browser\nExec=browser %u\n" + extra;
}

QString defaultIs(const QString& ids, const QString& mimeType = QStringLiteral("text/html"))
{
    return QStringLiteral("[Default Applications]\n%1=%2\n").arg(mimeType, ids);
}

QStringList installed(const QString& name, const QString& extra)
{
    return {"data/applications/" + name + ".desktop", entry(extra)};
}

// A link with blanks, quotes and a dollar sign, for the command lines of desktop entries.
const QString ExecLink = QStringLiteral("https://example.test/?a=1&b=2 \"c\" $HOME");
const QString User = QStringLiteral("config/mimeapps.list");
const QString System = QStringLiteral("sysconfig/mimeapps.list");
// Two installed browsers that declare no MIME types.
const QString A = QStringLiteral("data/applications/a.desktop");
const QString B = QStringLiteral("sysdata/applications/b.desktop");
#endif

// Reports the focus the test sets, installed for its lifetime. By default it cannot tell, as in a session without a
// display.
struct ScriptedWindowFocus : Focus::WindowFocus
{
    ScriptedWindowFocus() { Focus::setWindowFocus(this); }
    ~ScriptedWindowFocus() override { Focus::setWindowFocus(nullptr); }
    ScriptedWindowFocus(const ScriptedWindowFocus&) = delete;
    ScriptedWindowFocus& operator=(const ScriptedWindowFocus&) = delete;

    bool canTell() const override { return tells; }
    std::optional<Focus::WindowId> focusedWindow() override { return focused; }
    Focus::WindowProgram programOf(Focus::WindowId window) override
    {
        return programs.contains(window) ? programs[window] : Focus::WindowProgram{};
    }
    bool exists(Focus::WindowId window) override { return programs.contains(window); }

    bool tells = false;
    std::optional<Focus::WindowId> focused;
    std::map<Focus::WindowId, Focus::WindowProgram> programs; // what each open window tells; the others are closed
};

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        TempDataFolder folder;
        Keys::RecordingKeySender keys;
        Desktop::RecordingShell shell;
        ScriptedDialogs dialogs;
        ScriptedWindowFocus focus;
        QTimer tmrWait;
    };
    std::optional<Fixture> m;

    // count is a statement value: Null, a number or quoted text, which a data file written before the number
    // columns checked their values may hold; the text is stored enciphered.
    void add(int id, int websiteId, int eventType, const QString& count = "Null", const QString& plainText = {})
    {
        const QString text = plainText.isEmpty() ? "Null" : '\'' + FixQuotes(gobjEncrypt->Encrypt2(plainText)) + '\'';
        m->folder.executeUnchecked(
            {QString::asprintf("INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, "
                               "EventTypeID, NumberOfTimes, TextToTypeIn) VALUES (%d, %d, %d, %s, %s)",
                               id, websiteId, eventType, qPrintable(count), qPrintable(text))});
    }
    void replay(int websiteId) { ReplayWebsite(m->tmrWait, QString::number(websiteId), Link, nullptr); }
    void tick()
    {
        m->keys.calls.push_back({{Key::Help, static_cast<char32_t>(m->tmrWait.interval())}});
        tmrWait_Timer(m->tmrWait);
    }
    void tickDuringTheNextWait()
    {
        QTimer::singleShot(1, &m->tmrWait, [this] { m->tmrWait.isActive() ? tick() : tickDuringTheNextWait(); });
    }
    QString typed() const { return described(m->keys.strokes()).join(""); }
    // The lock by which a launch asks the one running on the desktop to stop.
    static std::string askingLock()
    {
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString() +
               "/quillock-launch-asked.lock";
    }

private slots:
    void init()
    {
        m.emplace();
        seedWebsites(m->folder.dataFilePath(), numberedWebsites(3));
        m->folder.execute(
            {"INSERT INTO EventType (EventTypeID, EventType) VALUES (7, 'wait'), (8, 'TAB'), (9, 'Tab '), (10, Null)"});
        gobjEncrypt = std::make_unique<dsEncrypt>();
        connect(&m->tmrWait, &QTimer::timeout, this, &TestLaunch::tick);
    }

    void cleanup()
    {
        m.reset();
        gobjEncrypt.reset();
    }

    // The strokes a key string sends; or "!": refused whole with an error of the program's own kind that names the
    // string, before any key goes.
    void sendsKeyStrings_data()
    {
        QTest::addColumn<QString>("keyString");
        QTest::addColumn<QStringList>("strokes");
        QTest::newRow("plain characters, beyond ASCII too")
            << QString::fromUtf8("aZ 9!é€中😀")
            << QStringList{"a", "Z", " ", "9", "!", "é", "€", "中", QString::fromUtf8("😀")};
        QTest::newRow("carriage return, line feed and tilde are Enter, tab is Tab")
            << "a\rb\n\t~" << QStringList{"a", "{ENTER}", "b", "{ENTER}", "{TAB}", "{ENTER}"};
        QTest::newRow("key names ignore case")
            << "{enter}{Tab}{bs}{DEL}{esc}{PgDn}{F12}"
            << QStringList{"{ENTER}", "{TAB}", "{BS}", "{DEL}", "{ESC}", "{PGDN}", "{F12}"};
        QTest::newRow("modifiers add up for the next key or group only")
            << "^+%xb^(a+(bc))d" << QStringList{"+^%x", "b", "^a", "+^b", "+^c", "d"};
        QTest::newRow("every reserved character braced, and a blank")
            << "{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}{ }"
            << QStringList{"+", "^", "%", "~", "(", ")", "{", "}", "[", "]", " "};
        QTest::newRow("counts, under Shift too")
            << "{TAB 3}{a 2}{} 2}{x 0}+{TAB 2}"
            << QStringList{"{TAB}", "{TAB}", "{TAB}", "a", "a", "}", "}", "+{TAB}", "+{TAB}"};
        // Unbalanced braces and parentheses, a modifier with no key, an unbraced bracket, unknown names, bad counts.
        for (const char* broken : {"{TAB", "{", "{}", "a}", "+(ab", "a)", "a+", "(a+)", "[", "{TABS}", "{F17}",
                                   "{F99999999999}", "{TAB -1}", "{TAB 99999}"})
            QTest::newRow(broken) << QString::fromLatin1(broken) << QStringList{"!"};
        QTest::newRow("a control character") << QString(QChar(1)) << QStringList{"!"};
        QTest::newRow("the delete character") << QString(QChar(0x7f)) << QStringList{"!"};
    }

    void sendsKeyStrings()
    {
        QFETCH(QString, keyString);
        QFETCH(QStringList, strokes);
        try {
            sendKeys("ab" + keyString);
            QCOMPARE(described(m->keys.strokes()), (QStringList{"a", "b"} + strokes));
        } catch (const AppError& error) {
            QCOMPARE(strokes, QStringList{"!"});
            QCOMPARE(error.number(), ErrorNumber::InvalidArgument);
            QVERIFY2(error.description().contains("ab" + keyString), qPrintable(error.description()));
            QVERIFY(m->keys.calls.empty());
        }
    }

    // A launch opens the link with the browser found for a scratch page, then types; or it reports why the page
    // cannot open and types nothing, for the focus may be anywhere.
    void opensThePageThenTypes_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("browser"); // null: none found
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<QString>("obstacle");     // what already stands at the scratch page's name
        QTest::addColumn<QStringList>("happened"); // look-ups with the page they saw, starts, messages, keys

        const QString page = "find \"<HTML> <\\HTML>\"\r\n", typed = "user{ENTER}";
        const QString notFound = "Browser Not Found: Could not find associated Browser";
        const QString unable = "Quillock: Unable to open Web Page.";
        const QString idn = QString::fromUtf8("https://bücher.example/straße?a=1&b=%2F#top");
        const QString file = "  C:\\My Files\\page \"one\".txt  ";
        const auto row = [](const char* tag, const QString& link, const QString& browser, bool startSucceeds,
                            const QStringList& happened, const char* obstacle = "") {
            QTest::newRow(tag) << link << browser << startSucceeds << QString(obstacle) << happened;
        };
        row("the program's path without its blanks, the link as it is", idn, "  /opt/my browser/run  ", true,
            {page, "start /opt/my browser/run " + idn, typed});
        row("no browser", Link, {}, true, {page, notFound});
        row("only blanks for a browser", Link, "   ", true, {page, notFound});
        row("the start fails, a link that is no web address", file, "b", false, {page, "start b " + file, unable});
        row("an empty link opens nothing and types nothing", "", "b", true, {"Quillock: This website has no link."});
        row("a link of blanks is none", "  ", "b", true, {"Quillock: This website has no link."});
        // A browser would take these for options; they reach no program.
        row("a link beginning with blanks and -", " \t-x", "b", true, {unable});
#ifndef Q_OS_WIN
        // Left as they are; a folder is also what a program folder that cannot be written (even by root) amounts to.
        for (const char* obstacle : {"folder", "link to a file", "link to nowhere", "FIFO"})
            row(obstacle, Link, "b", true, {"find ", "start b " + Link, typed}, obstacle);
#endif
    }

    void opensThePageThenTypes()
    {
        QFETCH(QString, link);
        QFETCH(QString, browser);
        QFETCH(QString, obstacle);
        m->shell.associatedProgram = browser.isNull() ? std::nullopt : std::optional(browser.toStdString());
        QFETCH(bool, startSucceeds);
        m->shell.startSucceeds = startSucceeds;
        const QDir folder(m->folder.path());
        const QString scratch = folder.filePath(QStringLiteral("test.htm"));
#ifndef Q_OS_WIN
        const QByteArray native = QFile::encodeName(scratch);
        const QString target = folder.filePath(QStringLiteral("target.txt"));
        if (obstacle == "folder")
            QVERIFY(folder.mkdir(QStringLiteral("test.htm")));
        else if (obstacle == "FIFO")
            QCOMPARE(mkfifo(native.constData(), 0600), 0);
        else if (obstacle.startsWith("link"))
            QVERIFY(QFile::link(target, scratch));
        if (obstacle == "link to a file")
            QVERIFY(WriteTextFile(QStringLiteral("kept"), target));
        struct stat before = {}, after = {};
        QCOMPARE(lstat(native.constData(), &before), obstacle.isEmpty() ? -1 : 0);
#endif
        add(1, 1, Text, "Null", "user");
        add(2, 1, Enter);
        QWidget owner;
        ReplayWebsite(m->tmrWait, QStringLiteral("1"), link, &owner);

        QStringList seen;
        for (std::size_t i = 0; i < m->shell.lookedUp.size(); ++i) {
            QCOMPARE(QString::fromStdString(m->shell.lookedUp[i]), scratch);
            seen << QString::fromStdString("find " + m->shell.documentContents[i]);
        }
        for (const Desktop::RecordingShell::Start& start : m->shell.starts) {
            seen << QString::fromStdString("start " + start.program + ' ' + start.argument);
            QCOMPARE(start.ownerWindow, static_cast<std::uintptr_t>(owner.winId()));
        }
        for (const ScriptedDialogs::Message& message : m->dialogs.messages) {
            seen << message.title + ": " + message.prompt;
            QCOMPARE(message.style, Dialogs::vbExclamation);
        }
        if (!typed().isEmpty())
            seen << typed();
        QTEST(seen, "happened");
#ifndef Q_OS_WIN
        if (!obstacle.isEmpty()) {
            QCOMPARE(lstat(native.constData(), &after), 0);
            QVERIFY(after.st_mode == before.st_mode && after.st_ino == before.st_ino);
            QCOMPARE(fileBytes(target), obstacle == "link to a file" ? "kept\r\n" : "(none)");
            return;
        }
#endif
        QVERIFY2(!QFile::exists(scratch), "the scratch page was left behind");
    }

    void replaysTheWebsitesInstructionsInTheOrderOfTheirKeysAndEnds()
    {
        add(30, 1, Enter);
        add(10, 1, Text, "Null", "user");
        add(15, 2, Text, "Null", "other website");
        add(20, 1, Tab);
        gdblRelockMinutes = 15;
        gdblMinutesLeft = 2;
        // No website selected: nothing happens, and that is no activity either.
        for (const char* noWebsite : {"  ", "1 OR 1=1", "-1"})
            ReplayWebsite(m->tmrWait, QString::fromLatin1(noWebsite), Link, nullptr);
        QVERIFY(m->shell.lookedUp.empty());
        QCOMPARE(gdblMinutesLeft, 2.0);

        replay(1);
        QCOMPARE(typed(), "user{TAB}{ENTER}");
        QCOMPARE(m->shell.starts.size(), std::size_t{1});
        QCOMPARE(gdblMinutesLeft, 15.0); // a launch counts as activity
        QVERIFY(!gobjConnection);        // the data file is closed again
        // A data file that cannot be read fails the launch before the link opens, and leaves nothing held.
        const QString dataFile = m->folder.dataFilePath();
        QVERIFY(QFile::rename(dataFile, dataFile + ".away"));
        QVERIFY_THROWS_EXCEPTION(AppError, replay(1));
        QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
        QCOMPARE(m->shell.lookedUp.size(), std::size_t{1});
        QVERIFY(QFile::rename(dataFile + ".away", dataFile));
        // The desktop's kept permission is read only by a key sender that asks for one: a file without its table
        // launches.
        m->folder.execute({"DROP TABLE DesktopPermission"});
        replay(1);
        QCOMPARE(typed(), "user{TAB}{ENTER}user{TAB}{ENTER}");
    }

    // Each instruction between two others: what it types, and how long it waits before the next one.
    void playsEachInstruction_data()
    {
        QTest::addColumn<int>("eventType");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");

        const auto row = [](const char* tag, int type, const char* count, const char* typed, const char* text = "") {
            QTest::newRow(tag) << type << QString(count) << QString(text) << QString(typed);
        };
        row("Tab, no count", Tab, "Null", "{TAB}");
        row("Tab 0", Tab, "0", "");
        row("Tab 1000, the most", Tab, "1000", QString("{TAB}").repeated(1000).toLatin1().constData());
        row("Tab 2.7", Tab, "2.7", "{TAB}{TAB}");
        row("Tab ' 2 '", Tab, "' 2 '", "{TAB}{TAB}");
        row("Tab '3 times'", Tab, "'3 times'", "");
        row("Tab '1,5'", Tab, "'1,5'", "");
        row("Tab -1, a count below 1", Tab, "-1", "");
        row("Shift+Tab, no count", ShiftTab, "Null", "+{TAB}");
        row("Shift+Tab 2", ShiftTab, "2", "+{TAB}+{TAB}");
        row("Enter ignores its count", Enter, "5", "{ENTER}");
        row("Text without text", Text, "Null", "");
        row("Text ignores its count", Text, "3", "ab", "ab");
        row("Wait 0.5", Wait, "0.5", "{WAIT 500}");
        row("Wait 0", Wait, "0", "");
        row("Wait -5", Wait, "-5", "");
        row("One-Time Code, 10 s into its period", OneTimeCodeType, "Null", "287082", RfcSecret.toLatin1().constData());
        QString printable;
        for (char16_t c = 0x20; c <= 0x7e; ++c)
            printable += QChar(c);
        QTest::newRow("Text of every printable character, reserved ones too")
            << Text << "Null" << printable << printable;
    }

    void playsEachInstruction()
    {
        QFETCH(int, eventType);
        QFETCH(QString, count);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        add(1, 1, Text, "Null", "[");
        add(2, 1, eventType, count, text);
        add(3, 1, Text, "Null", "]");
        const ReplayClockForTest clock(40000); // the period of RFC 6238's 59 s
        replay(1);
        QCOMPARE(this->typed(), '[' + typed + ']');
        QVERIFY(!m->tmrWait.isActive());
    }

    // A website that a launch cannot replay whole is refused before the page opens, with a message naming the step, or
    // the number of steps.
    void refusesAWebsiteItCannotReplayWhole_data()
    {
        QTest::addColumn<int>("eventType");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedText"); // as another program may have stored it; empty: none
        QTest::addColumn<int>("steps");          // Enter steps after step 2
        const auto row = [](const char* tag, int type, const char* count, const QString& message,
                            const QString& storedText = {}, int steps = 1) {
            QTest::newRow(tag) << type << QString(count) << message << storedText << steps;
        };
        const QString unknown = QStringLiteral("Step 2 is of the event type \"%1\", which a launch does not know.");
        row("'wait' is not Wait", LowerCaseWait, "60", unknown.arg("wait"));
        row("'TAB' is not Tab", UpperCaseTab, "1", unknown.arg("TAB"));
        row("'Tab ' is not Tab", TabWithBlank, "1", unknown.arg("Tab "));
        row("a type without a name", NoName, "1", unknown.arg(""));
        const QString presses = QStringLiteral("Step 2 has the number %1, but a %2 step presses its key at most 1,000 "
                                               "times.");
        row("Tab 1001", Tab, "1001", presses.arg("1001", "Tab"));
        row("Shift+Tab 1e9", ShiftTab, "'1e9'", presses.arg("1000000000", "Shift+Tab"));
        row("Wait 86401", Wait, "86401",
            "Step 2 has the number 86401, but a Wait step waits at most 86,400 seconds (24 hours).");
        row("a step of an event type that is gone", 99, "Null",
            "The event type of step 2 was deleted: give the step another event type in the website's steps, or "
            "delete it.");
        row("a text another program stored with a character the cipher lacks", Text, "Null",
            "The text of step 2 cannot be read: it holds the character \"é\" (U+00E9), which Quillock never stores; "
            "another program wrote it.",
            "caf\u00e9");
        row("more steps than a launch replays", Enter, "Null",
            "This website has 501 steps, but a launch replays at most 500.", {}, 499);
        row("a one-time code without its secret", OneTimeCodeType, "Null",
            "Step 2 is a one-time code without its secret.");
        row("a one-time code secret that gives no codes", OneTimeCodeType, "Null",
            "The one-time code secret of step 2 gives digits as \"9\"; it must be a whole number from 6 to 8.",
            dsEncrypt().Encrypt2("otpauth://totp/x?secret=GEZD&digits=9"));
    }

    void refusesAWebsiteItCannotReplayWhole()
    {
        QFETCH(int, eventType);
        QFETCH(QString, count);
        QFETCH(QString, storedText);
        QFETCH(int, steps);
        add(1, 1, Text, "Null", "user");
        add(2, 1, eventType, count);
        QStringList enters;
        for (int id = 3; id < 3 + steps; ++id)
            enters << QString::asprintf("(%d, 1, %d)", id, Enter);
        m->folder.execute({"INSERT INTO WebsiteInstructions (WebsiteInstructionsID, WebsiteID, EventTypeID) VALUES " +
                           enters.join(", ")});
        if (!storedText.isEmpty())
            m->folder.execute({"UPDATE WebsiteInstructions SET TextToTypeIn = " + QuotedValue(storedText) +
                               " WHERE WebsiteInstructionsID = 2"});
        replay(1);
        QCOMPARE(typed(), QString());
        QVERIFY(m->shell.lookedUp.empty());
        QCOMPARE(m->dialogs.messages.size(), qsizetype{1});
        QFETCH(QString, message);
        QCOMPARE(m->dialogs.messages[0].prompt, message + " Nothing was typed.");
    }

    void otherCommandsDuringAWaitCannotDisturbTheReplay()
    {
        add(1, 1, Text, "Null", "a");
        add(2, 1, Wait, "70");
        add(3, 1, Text, "Null", "b");
        add(4, 1, Tab, "2");
        int pointerDuringTheWait = -1;
        Connection* openedByAnotherCommand = nullptr;
        QTimer::singleShot(50, &m->tmrWait, [&] {
            pointerDuringTheWait = Screen::mousePointer();
            // A command reads through the shared recordset and deletes the instructions in a unit of its own,
            OpenConnection();
            gobjRecordset->open(QStringLiteral("SELECT * FROM WebsiteInstructions"), *gobjConnection);
            gobjConnection->execute(QStringLiteral("DELETE FROM WebsiteInstructions"));
            gobjRecordset->close();
            gobjRecordset.release();
            CloseConnection();
            // and another one is still at work when the replay goes on,
            OpenConnection();
            openedByAnotherCommand = gobjConnection.get();
            tick(); // 70 seconds early
        });
        replay(1);
        QCOMPARE(typed(), "a{WAIT 70000}b{TAB}{TAB}");
        QCOMPARE(m->shell.starts.size(), std::size_t{1});
        QCOMPARE(pointerDuringTheWait, Screen::vbHourglass);
        QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
        QVERIFY(openedByAnotherCommand);
        QCOMPARE(gobjConnection.get(), openedByAnotherCommand);
        QVERIFY(gobjConnection->isOpen());
        CloseConnection();
    }

    // Stopped during a wait or a long run of presses, a launch sends nothing more, at once: by the program, by
    // Escape, by a second launch of its own or by another Quillock's launch, which asks through the desktop's lock.
    void stopsBeforeItsNextKey_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        for (const char* how : {"stopLaunch", "Escape", "a second launch", "another Quillock asks"}) {
            QTest::addRow("%s during a wait", how) << QString(how) << "a";
            QTest::addRow("%s during presses", how) << QString(how) << "a{WAIT 1000}{TAB}{TAB}{TAB}";
        }
    }

    void stopsBeforeItsNextKey()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        const bool duringPresses = typed.endsWith("{TAB}");
        add(1, 1, Text, "Null", "a");
        add(2, 1, Wait, duringPresses ? "1" : "70");
        add(3, 1, Tab, "1000");
        add(4, 1, Text, "Null", "b");
        QWidget window;
        std::optional<Files::FileLock> asking;
        const auto stop = [&] {
            if (how == "stopLaunch")
                stopLaunch();
            else if (how == "Escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else if (how == "a second launch")
                replay(3); // no steps of its own
            else
                asking = Files::FileLock::tryLock(askingLock(), Files::FileLock::Kind::Exclusive);
        };
        QTimer::singleShot(20, &m->tmrWait, [&] {
            if (duringPresses) {
                tick();
                // Stopped as the third press is sent.
                m->keys.afterSend = [&] {
                    if (m->keys.calls.size() == 5)
                        stop();
                };
            } else {
                stop();
            }
        });
        replay(1);
        QCOMPARE(this->typed(), typed);
        QCOMPARE(m->dialogs.messages.size(), qsizetype{0});
        QVERIFY(!m->tmrWait.isActive());
        QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
        QCOMPARE(m->shell.starts.size(), std::size_t(how == "a second launch" ? 2 : 1));
    }

    // Near the end of its period a one-time code waits for the next one; a paced website waits before every key but
    // its first, and a stop ends the pause at once.
    void waitsForTheNextCodeAndPacesItsKeys()
    {
        m->folder.execute({"UPDATE Website SET KeyPauseMilliseconds = 50 WHERE WebsiteID = 1",
                           "UPDATE Website SET KeyPauseMilliseconds = 1000 WHERE WebsiteID = 2"});
        add(1, 1, Text, "Null", "ab");
        add(2, 1, Tab, "2");
        add(3, 3, OneTimeCodeType, "Null", RfcSecret);
        replay(1);
        QCOMPARE(typed(), "a{WAIT 50}b{WAIT 50}{TAB}{WAIT 50}{TAB}");
        m->keys.calls.clear();
        {
            const ReplayClockForTest clock(57500); // 2.5 s before RFC 6238's 59 s period ends
            replay(3);
        }
        // the next period's code, after a wait
        QVERIFY2(typed().startsWith("{WAIT "), qPrintable(typed()));
        QCOMPARE(typed().section('}', 1), std::get<OneTimeCode>(OneTimeCode::fromText(RfcSecret)).codeAt(60));
        m->keys.calls.clear();
        add(4, 2, Text, "Null", QString(1000, u'x'));
        QTimer::singleShot(20, [] { stopLaunch(); });
        replay(2);
        QCOMPARE(typed(), "x");
    }

    // The window that owns the wait timer may close and go during a wait, as the program's windows do: the launch
    // stops there, quietly.
    void endsWhenItsWaitTimerGoes()
    {
        add(1, 1, Wait, "70");
        add(2, 1, Text, "Null", "a");
        auto* window = new QWidget;
        QTimer* timer = new QTimer(window);
        bool waiting = false;
        QTimer::singleShot(20, [window, timer, &waiting] {
            waiting = timer->isActive();
            stopLaunch();
            delete window;
        });
        ReplayWebsite(*timer, QStringLiteral("1"), Link, window);
        QVERIFY(waiting);
        QCOMPARE(typed(), QString());
        QCOMPARE(m->dialogs.messages.size(), qsizetype{0});
        QCOMPARE(Screen::mousePointer(), Screen::vbDefault);
    }

    // Where the session hides other programs' windows, the first key of "Text a, Wait, Text b" waits for the
    // program's own windows to lose the focus, and no key is sent while one of them has it.
    void typesNothingWhileItsOwnWindowHasTheFocus_data()
    {
        QTest::addColumn<QString>("ownWindow"); // when it is active
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* ownWindow, const char* typed, const QString& message = {}) {
            QTest::newRow(ownWindow) << QString(ownWindow) << QString(typed) << message;
        };
        row("at the start", "a{WAIT 70000}b");
        row("all the time", "", "The browser window did not come to the front, so nothing was typed.");
        row("from the wait on", "a{WAIT 70000}",
            "The browser window lost the focus; the launch was stopped after step 2.");
    }

    void typesNothingWhileItsOwnWindowHasTheFocus()
    {
        QFETCH(QString, ownWindow);
        setFocusGraceForTesting(std::chrono::milliseconds(1000));
        const auto restoreGrace = qScopeGuard([] { setFocusGraceForTesting({}); });
        add(1, 1, Text, "Null", "a");
        add(2, 1, Wait, "70");
        add(3, 1, Text, "Null", "b");
        QWidget window;
        const auto activate = [&window] {
            window.show();
            window.activateWindow();
            QTRY_VERIFY(QApplication::activeWindow());
        };
        if (ownWindow != "from the wait on")
            activate();
        if (ownWindow == "at the start")
            QTimer::singleShot(100, &window, &QWidget::hide);
        QTimer::singleShot(200, &m->tmrWait, [&] {
            if (ownWindow == "from the wait on")
                activate();
            tickDuringTheNextWait();
        });
        replay(1);
        QTEST(typed(), "typed");
        QFETCH(QString, message);
        QCOMPARE(m->dialogs.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    // A desktop that asks the user's consent asks it before the page opens; a text it could not type whole is
    // refused before that, and a permission it hands over is kept, enciphered, for the next launch.
    void asksTheDesktopBeforeThePageOpens_data()
    {
        QTest::addColumn<QString>("untypable");
        QTest::addColumn<bool>("consents");
        QTest::addColumn<QString>("message");
        QTest::newRow("consent") << "" << true << "";
        QTest::newRow("a character the layout lacks")
            << "@" << true
            << "Step 2 types the character \"@\", which the keyboard layout of this desktop cannot type. Nothing was "
               "typed.";
        QTest::newRow("consent refused") << "" << false << "The user refused.";
    }

    void asksTheDesktopBeforeThePageOpens()
    {
        QFETCH(QString, untypable);
        QFETCH(bool, consents);
        m->keys.untypable = untypable.toStdU32String();
        std::vector<std::string> saved;
        std::vector<std::size_t> pagesOpened; // when each preparation began
        m->keys.onPrepare = [&](const Keys::Preparation& preparation) {
            pagesOpened.push_back(m->shell.lookedUp.size());
            saved.push_back(preparation.savedPermission());
            if (!consents)
                throw Keys::KeySendError("The user refused.");
            preparation.keepPermission("token-" + std::to_string(saved.size()));
        };
        add(1, 1, Enter);
        add(2, 1, Text, "Null", "u@");
        QString error;
        for (int launch = 0; launch < 2; ++launch) {
            if (const std::optional<AppError> raised = caughtError([&] { replay(1); }))
                error = raised->description();
        }
        QFETCH(QString, message);
        if (!untypable.isEmpty()) {
            QCOMPARE(m->dialogs.messages.size(), qsizetype{2});
            QCOMPARE(m->dialogs.messages[0].prompt, message);
            QVERIFY(saved.empty());
        } else if (!consents) {
            QCOMPARE(error, message);
            QCOMPARE(pagesOpened, (std::vector<std::size_t>{0, 0}));
        } else {
            QCOMPARE(pagesOpened, (std::vector<std::size_t>{0, 1}));
            QCOMPARE(saved, (std::vector<std::string>{"", "token-1"}));
            const QStringList stored = m->folder.column("SELECT PermissionToken FROM DesktopPermission");
            QCOMPARE(stored, QStringList{gobjEncrypt->Encrypt2("token-2")});
        }
        QCOMPARE(typed(), consents && untypable.isEmpty() ? "{ENTER}u@{ENTER}u@" : QString());
        QCOMPARE(m->shell.lookedUp.empty(), !consents || !untypable.isEmpty());
    }

    // Where the session can tell which window is active, the launch follows it from the page's opening: the steps
    // "Wait, Text a, Wait, Text b" run while the windows of each list are active in turn (each for a few looks): at
    // the start, during the first wait, during the second.
    void typesOnlyIntoTheBrowsersWindow_data()
    {
        QTest::addColumn<QList<int>>("atStart");
        QTest::addColumn<QList<int>>("firstWait");
        QTest::addColumn<QList<int>>("secondWait");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString notInFront = "The browser window did not come to the front, so nothing was typed.";
        const QString otherFirst = "Another window came to the front before the browser's, so nothing was typed.";
        const QString lostBefore = "The browser window lost the focus, so nothing was typed.";
        const QString lostAfter = "The browser window lost the focus; the launch was stopped after step 2.";
        const QString lostAfterTheWait = "The browser window lost the focus; the launch was stopped after step 3.";
        const QString closedAfter = "The browser closed during the launch; the launch was stopped after step 2.";
        // Windows 1 and 2 are this program's, 3 another Quillock's; 5 the browser's, known by its class, 6 by its
        // startup id, 7 another of the browser's; 8 a bystander's; 9 the browser's id, given to a new window of
        // another program once the browser's is gone; 10 the browser's closing, the focus going nowhere; 0 none.
        const int own = 1, own2 = 2, otherQuillock = 3, browser = 5, byStartupId = 6, browser2 = 7, bystander = 8;
        const int reused = 9, closing = 10, none = 0;
        const auto row = [](const char* tag, const QList<int>& atStart, const QList<int>& firstWait,
                            const QList<int>& secondWait, const char* typed, const QString& message = {}) {
            QTest::newRow(tag) << atStart << firstWait << secondWait << QString(typed) << message;
        };
        row("the browser comes to the front", {own}, {browser}, {browser}, "ab");
        row("known by its startup id", {own}, {byStartupId}, {byStartupId}, "ab");
        row("the window active at the start keeps it", {bystander}, {bystander}, {}, "", notInFront);
        row("only Quillock's windows have it", {own}, {own2, otherQuillock}, {}, "", notInFront);
        row("another window before the browser's", {own}, {bystander, browser}, {}, "", otherFirst);
        row("another window after the browser's, back before the first key", {own}, {browser, bystander, browser}, {},
            "", lostBefore);
        row("Quillock's own window before the first key, then the browser again", {own}, {browser, own2, browser},
            {browser}, "ab");
        row("another window of the browser after the first key", {own}, {browser}, {browser2}, "a", lostAfter);
        row("another Quillock's window after the first key", {own}, {browser}, {otherQuillock, browser}, "a",
            lostAfter);
        row("the browser's window id given to another program's window", {own}, {browser}, {reused}, "a", lostAfter);
        row("no window active after the first key", {own}, {browser}, {none}, "a", lostAfterTheWait);
        row("the browser's window closes after the first key", {own}, {browser}, {closing}, "a", closedAfter);
        row("stopped while waiting for the browser", {own}, {}, {}, "");
    }

    void typesOnlyIntoTheBrowsersWindow()
    {
        QFETCH(QList<int>, atStart);
        QFETCH(QList<int>, firstWait);
        QFETCH(QList<int>, secondWait);
        setFocusGraceForTesting(std::chrono::milliseconds(firstWait.isEmpty() ? 60000 : 600));
        const auto restoreGrace = qScopeGuard([] { setFocusGraceForTesting({}); });
        m->shell.started = {4242, {"Browser"}, "quillock-1"};
        const auto thisProcess = static_cast<std::uint64_t>(QCoreApplication::applicationPid());
        m->focus.tells = true;
        m->focus.programs = {
            {1, {thisProcess, {}, {}}}, {2, {thisProcess, {}, {}}}, {3, {7, {"quillock", "Quillock"}, {}}},
            {5, {9, {"browser"}, {}}},  {6, {9, {}, "quillock-1"}}, {7, {9, {"BROWSER"}, {}}}};
        m->focus.focused = atStart.front();
        add(1, 1, Wait, "70");
        add(2, 1, Text, "Null", "a");
        add(3, 1, Wait, "70");
        add(4, 1, Text, "Null", "b");
        // Each window is active for a few of the launch's looks at the focus, then the wait ends.
        const auto showDuringTheNextWait = [this](const QList<int>& windows) {
            QTimer::singleShot(1, &m->tmrWait, [this, windows] {
                for (int window : windows) {
                    if (window == 9) { // the browser's window id, now another program's
                        m->focus.programs[5] = {};
                        window = 5;
                    } else if (window == 10) {
                        m->focus.programs.erase(5);
                        window = 0;
                    }
                    m->focus.focused = window ? std::optional<Focus::WindowId>(window) : std::nullopt;
                    QTest::qWait(150);
                }
                if (m->tmrWait.isActive())
                    tick();
                if (windows.isEmpty()) // while the first key waits for the browser
                    QTimer::singleShot(200, [] { stopLaunch(); });
            });
        };
        showDuringTheNextWait(firstWait);
        m->keys.afterSend = [&, sent = 0]() mutable {
            if (++sent == 1)
                showDuringTheNextWait(secondWait);
        };
        replay(1);
        QFETCH(QString, typed);
        QCOMPARE(QStringList(described(m->keys.strokes()).filter(QRegularExpression("^[a-z]$"))).join(""), typed);
        QFETCH(QString, message);
        QCOMPARE(m->dialogs.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        for (const std::uint64_t window : m->keys.windows) // every key went only into the locked window
            QCOMPARE(window, m->keys.windows.front());
        QCOMPARE(m->keys.windows.size(), std::size_t(typed.size()));
    }

    // Where the key sender cannot check the window at the moment of a key, the launch looks before each key: a window
    // that comes to the front between two keys of a text gets none of them.
    void looksAtTheFocusBeforeEachKey()
    {
        m->shell.started = {4242, {"Browser"}, "quillock-1"};
        m->focus.tells = true;
        m->focus.programs = {{1, {static_cast<std::uint64_t>(QCoreApplication::applicationPid()), {}, {}}},
                             {5, {9, {"browser"}, {}}}};
        m->focus.focused = 1;
        add(1, 1, Text, "Null", "abcdef");
        QTimer::singleShot(50, &m->tmrWait, [this] { m->focus.focused = 5; });
        m->keys.afterSend = [this] {
            if (m->keys.calls.size() == 3)
                m->focus.focused = 8; // a bystander's window
        };
        replay(1);
        QCOMPARE(typed(), QStringLiteral("abc"));
        QCOMPARE(m->dialogs.messageTexts(),
                 QStringList{"The browser window lost the focus; the launch was stopped during step 1."});
    }

    // A launch takes the desktop's launch lock before the page opens; one it cannot have opens nothing and types
    // nothing: a link standing at the lock's name, or another program's launch that does not give the lock up when
    // asked.
    void launchesAloneOnTheDesktop_data()
    {
        QTest::addColumn<bool>("link");
        QTest::addColumn<QString>("said");
        QTest::newRow("a link at the lock's name") << true << "cannot be used: it is a link.";
        QTest::newRow("another launch that does not let go")
            << false << "Another Quillock is launching a website and did not stop, so nothing was opened.";
    }

    void launchesAloneOnTheDesktop()
    {
        QFETCH(bool, link);
        QFETCH(QString, said);
        const QDir runtime(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
        const QString lock = runtime.filePath("quillock-launch.lock");
        const auto removeLock = qScopeGuard([&lock] { QFile::remove(lock); });
        QFile::remove(lock);
        std::optional<Files::FileLock> held;
        if (link)
            QVERIFY(QFile::link(runtime.filePath("elsewhere"), lock));
        else
            QVERIFY((held = Files::FileLock::tryLock(lock.toStdString(), Files::FileLock::Kind::Exclusive)));
        add(1, 1, Text, "Null", "a");
        bool asked = false;
        QTimer look;
        connect(&look, &QTimer::timeout,
                [&] { asked = asked || !Files::FileLock::tryLock(askingLock(), Files::FileLock::Kind::Shared); });
        look.start(100);
        const std::optional<AppError> error = caughtError([this] { replay(1); });
        const QString outcome = error ? error->description() : m->dialogs.messageTexts().join('|');
        QVERIFY2(outcome.endsWith(said), qPrintable(outcome));
        QCOMPARE(asked, !link);
        QVERIFY(m->shell.starts.empty());
        QCOMPARE(typed(), QString());
    }

    // Of backends named a, b and c, where a cannot serve, b is made and no other; with no backend built, the error
    // says so.
    void usesTheFirstBackendThatCanServe()
    {
        QStringList made;
        Os::Backends<QString> backends;
        for (const char* reason : {"no display", "", ""}) {
            const QString name(QChar(static_cast<char16_t>(u'a' + backends.size())));
            backends.push_back({name.toStdString(), [reason] { return std::string(reason); },
                                [name, &made] {
                                    made << name;
                                    return std::make_unique<QString>(name);
                                }});
        }
        QCOMPARE(*Os::makeFirstAvailable<std::runtime_error>(backends, "cannot"), QStringLiteral("b"));
        QCOMPARE(made, QStringList{"b"});
        try {
            Os::makeFirstAvailable<std::runtime_error>(Os::Backends<QString>{}, "Quillock cannot test in this session");
            QFAIL("no backend was made, yet no error was raised");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromStdString(error.what()),
                     "Quillock cannot test in this session: this build has no backend for it.");
        }
    }

    // In a session without a display the program's own backends say why they cannot serve it, as the program's
    // errors.
    void saysWhyNoBackendServesTheSession_data()
    {
        QTest::addColumn<QByteArray>("display"); // empty to unset
        QTest::addColumn<QString>("x11Reason");
        QTest::newRow("DISPLAY unset") << QByteArray() << "DISPLAY is not set";
        QTest::newRow("DISPLAY names no server") << QByteArray(":31999") << "the X display \":31999\" cannot be opened";
    }

    void saysWhyNoBackendServesTheSession()
    {
        QFETCH(QByteArray, display);
        QFETCH(QString, x11Reason);
        m.reset(); // the program's own backends, not the recording ones
        const QByteArray savedDisplay = qgetenv("DISPLAY");
        const QByteArray savedWayland = qgetenv("WAYLAND_DISPLAY");
        const auto restore = qScopeGuard([&] {
            Keys::releasePlatformKeySender();
            Desktop::releasePlatformShell();
            for (const auto& [name, value] : {std::pair{"DISPLAY", savedDisplay}, {"WAYLAND_DISPLAY", savedWayland}})
                value.isNull() ? qunsetenv(name) : qputenv(name, value);
        });
        display.isEmpty() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
        qunsetenv("WAYLAND_DISPLAY");

        // The Wayland ones this build has come first, each needing a compositor.
        QString waylandKeys;
        for (const Os::Backend<Keys::KeySender>& backend : Keys::keySenderBackends())
            if (backend.name != "X11 (XTest)")
                waylandKeys += QString::fromStdString(backend.name) + ": WAYLAND_DISPLAY is not set; ";
        const std::optional<AppError> typing = caughtError([] { sendKeys(QStringLiteral("secret")); });
        QVERIFY(typing);
        QCOMPARE(typing->number(), 70);
        QCOMPARE(typing->description(),
                 "Quillock cannot send keystrokes in this session: " + waylandKeys + "X11 (XTest): " + x11Reason + '.');
        const std::optional<AppError> opening = caughtError([] { DesktopShell::findExecutable("test.htm"); });
        QVERIFY(opening);
        QCOMPARE(opening->number(), ErrorNumber::CannotCreateObject);
        QCOMPARE(opening->description(), "Quillock cannot open web pages in this session: XDG (freedesktop.org): there "
                                         "is no display to show the browser on (" +
                                             x11Reason + ", and WAYLAND_DISPLAY is not set).");
    }

#ifndef Q_OS_WIN
    void findsTheDefaultApplication_data()
    {
        QTest::addColumn<QStringList>("files"); // path, contents, path, contents, ...
        QTest::addColumn<QString>("found");     // relative path, or empty for none

        QTest::newRow("the user's list before the system's")
            << QStringList{User, defaultIs("a.desktop"), System, defaultIs("b.desktop")} << A;
        QTest::newRow("the desktop's own list before the common one")
            << QStringList{User, defaultIs("a.desktop"), "config/gnome-mimeapps.list", defaultIs("b.desktop")} << B;
        QTest::newRow("the config folders before the data folders")
            << QStringList{System, defaultIs("b.desktop"), "data/applications/mimeapps.list", defaultIs("a.desktop")}
            << B;
        QTest::newRow("a list in the last data folder")
            << QStringList{"moredata/applications/mimeapps.list", defaultIs("b.desktop")} << B;
        QTest::newRow("the first installed entry of a list: hidden ones, those of a missing TryExec and unknown ones "
                      "are not; a hidden entry of the user's hides the system's of the same ID")
            << installed("h", "Hidden=true\n") + installed("t", "TryExec=/nonexistent/browser\n") +
                   installed("b", "Hidden=true\n") + installed("p", "TryExec=sh\n") +
                   QStringList{User, defaultIs("h.desktop;t.desktop;missing.desktop;b.desktop;p.desktop;a.desktop")}
            << "data/applications/p.desktop";
        QTest::newRow("a list without an installed default gives way to the next")
            << QStringList{User, defaultIs("missing.desktop"), System, defaultIs("b.desktop")} << B;
        QTest::newRow("an entry in a subfolder")
            << QStringList{"moredata/applications/vendor/web.desktop", entry(), User, defaultIs("vendor-web.desktop")}
            << "moredata/applications/vendor/web.desktop";
        QTest::newRow("an added association when no list names a default")
            << QStringList{User, "[Added Associations]\ntext/html=b.desktop;\n"} << B;
        QTest::newRow("a removed association")
            << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/plain;text/html;\n"), User,
                           "[Removed Associations]\ntext/html=d.desktop\n"}
            << "";
        QTest::newRow("a desktop's own list names defaults only: it adds and removes no association")
            << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/html;\n"),
                           "config/gnome-mimeapps.list",
                           "[Added Associations]\ntext/html=b.desktop;\n[Removed Associations]\ntext/html=d.desktop;\n"}
            << "moredata/applications/d.desktop";
        QTest::newRow("a name with a '/' is no ID, though it names an entry outside the applications folders")
            << QStringList{"data/outside.desktop", entry(), User, defaultIs("../outside.desktop;b.desktop")} << B;
        QTest::newRow("a name with a NUL is no ID, though it begins with one")
            << QStringList{User, defaultIs(QStringLiteral("a.desktop") + QChar(0) + "x;b.desktop")} << B;
        QTest::newRow("a default for another type only")
            << QStringList{User, defaultIs("a.desktop", "image/png")} << "";
    }

    void findsTheDefaultApplication()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        const QTemporaryDir root;
        qputenv("HOME", root.filePath("home").toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", root.filePath("sysconfig").toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", (root.filePath("sysdata") + ':' + root.filePath("moredata")).toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "Openbox:GNOME");
        files = QStringList{A, entry(), B, entry()} + files;
        for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
            QFile out(root.filePath(files[i]));
            QVERIFY(QDir().mkpath(QFileInfo(out).path()) && out.open(QIODevice::WriteOnly));
            out.write(files[i + 1].toUtf8());
        }
        const std::optional<std::string> program =
            Desktop::XdgShell().findExecutable(root.filePath("folder/test.htm").toStdString());
        QCOMPARE(QString::fromStdString(program.value_or("")), found.isEmpty() ? found : root.filePath(found));
    }

    void execCommandLine_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("commandLine");

        QTest::newRow("%U among options and blanks")
            << "  /usr/bin/chromium \t --new-window %U --x  "
            << QStringList{"/usr/bin/chromium", "--new-window", ExecLink, "--x"};
        QTest::newRow("%f inside an argument, other field codes dropped, %%, an empty quoted argument")
            << "viewer %i --class %c %k --zoom=100%% \"\" --url=%f"
            << QStringList{"viewer", "--class", "--zoom=100%", "", "--url=" + ExecLink};
        QTest::newRow("no field code: the link goes last")
            << "browser --private" << QStringList{"browser", "--private", ExecLink};
        QTest::newRow("a quoted program with blanks and escapes")
            << "\"/opt/my x\\\"y\\\\z\\$\\`\" %u" << QStringList{"/opt/my x\"y\\z$`", ExecLink};
        QTest::newRow("an unclosed quote") << "\"browser %u" << QStringList{};
        QTest::newRow("no program") << "" << QStringList{};
    }

    void execCommandLine()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, commandLine);
        QStringList arguments;
        for (const std::string& argument : Desktop::execCommandLine(exec.toStdString(), ExecLink.toStdString()))
            arguments << QString::fromStdString(argument);
        QCOMPARE(arguments, commandLine);
    }
#endif
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
