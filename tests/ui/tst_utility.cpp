// The utility window and the about box, offscreen over a real data file.

#include "WebsiteWindowFixture.h"
#include "domain/crypto/StoredMasterPassword.h"
#include "domain/crypto/basBlowfishByteFns.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/data/StatementText.h"
#include "platform/dialogs/QtDialogs.h"
#include "support/RecordingShell.h"
#include "system/app/DataFileLock.h"
#include "system/app/PasswordCheckFile.h"
#include "system/app/SupportPages.h"
#include "system/app/basModule1.h"
#include "ui/other/frmMain.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QStringList Plain{"Bank's", "https://b.example/?a=\"1\"", "No link", "Mail", "https://m.example"};

bool allNamed(const QWidget& window)
{
    const QList<QWidget*> controls = window.findChildren<QWidget*>(QRegularExpression("^(?!qt_).+"));
    return std::ranges::none_of(controls, [](QWidget* control) { return control->accessibleName().isEmpty(); });
}

// A program folder with four websites (one without a name, one without a link), and the utility window over it.
struct Utility
{
    TempDataFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMain> window;

    Utility()
    {
        folder.execute({QStringLiteral("INSERT INTO Website (WebsiteName, WebsiteLink) VALUES ('%1', '%2'), "
                                       "(Null, 'https://no.name'), ('%3', Null), ('%4', '%5')")
                            .arg(FixQuotes(Plain[0]), Plain[1], Plain[2], Plain[3], Plain[4])});
    }
    // True when the window stays open.
    bool start(const QString& answer)
    {
        dialogs.answers = QStringList{answer};
        window = std::make_unique<frmMain>();
        return window->Form_Load() && window->isVisible();
    }
    void click(const char* name) const
    {
        QMetaObject::invokeMethod(window->findChild<QObject*>(name), name[0] == 'm' ? "trigger" : "click");
    }
    QString websites() const
    {
        return folder.column("SELECT IFNULL(WebsiteName, 'Null') || '|' || IFNULL(WebsiteLink, 'Null') FROM Website")
            .join(QLatin1Char('/'));
    }
};

} // namespace

class TestUtility : public QObject
{
    Q_OBJECT

private slots:
    void walkThroughTheUtility()
    {
        Utility utility;
        Desktop::RecordingShell shell;
        // First use: the answer becomes the password of a check file (that only its owner reads: the starts' test).
        QVERIFY(utility.start("k3y's") && allNamed(*utility.window));
        QVERIFY(utility.dialogs.prompts[0].prompt == "Enter Password: " && utility.dialogs.prompts[0].masked);

        // Encrypt then Decrypt gives the text back (its cipher holds line breaks and a quote); a character the cipher
        // cannot store is named, and the text stays as typed.
        auto& box = field<QLineEdit>(*utility.window, "Test Text");
        for (const QString& text : {QStringLiteral("wDx O'Neil ~}{|"), QStringLiteral("caf\u00e9")}) {
            box.setText(text);
            utility.click("Command1");
            QCOMPARE(box.text(), text.endsWith("\u00e9") ? text : dsEncrypt().Encrypt2(text));
            utility.click("Command2");
            QCOMPARE(box.text(), text);
        }
        QCOMPARE(utility.dialogs.messages.size(), 2);
        QVERIFY(utility.dialogs.messages[0].prompt.startsWith("The Test Text cannot hold the character \"\u00e9\""));

        // The pass enciphers every named website, leaving a Null link Null; a second pass gives the file back.
        const QString before = utility.websites();
        QString expected = before;
        for (const QString& text : Plain)
            expected.replace(text, dsEncrypt().Encrypt2(text));
        utility.click("Command3");
        QCOMPARE(utility.websites(), expected);
        utility.click("Command3");
        QCOMPARE(utility.websites(), before);
        // A pass that fails part-way (a refused row, a stored name the cipher cannot take) changes nothing.
        for (const char* obstacle : {"INSERT INTO Website (WebsiteName) VALUES ('caf\u00e9')",
                                     "CREATE TRIGGER refuse BEFORE UPDATE ON Website WHEN OLD.WebsiteID = 3 BEGIN "
                                     "SELECT RAISE(ABORT, 'refused'); END"}) {
            utility.folder.execute({QString::fromUtf8(obstacle)});
            const QString beforeFailure = utility.websites();
            utility.click("Command3");
            QCOMPARE(utility.websites(), beforeFailure);
        }
        QCOMPARE(utility.dialogs.messageTexts().filter("\nNo website was changed.").size(), 2);

        // The menus: the event type list, the main window after its own start-up, the about box and its addresses.
        QStringList seen;
        WebsiteWindowFixture::answerNextWindow([&seen](QDialog& list) {
            seen << list.windowTitle() << columnTexts(*list.findChild<FlexGrid*>("MSFlexGrid1"), 1);
            list.close();
        });
        utility.click("mnuEventType");
        QCOMPARE(seen, (QStringList{"Event Type", "Text", "Enter", "Tab", "Wait", "Shift+Tab", "One-Time Code"}));
        QTimer::singleShot(0, [&seen] {
            for (QWidget* shown : QApplication::topLevelWidgets())
                if (qobject_cast<frmWebsite*>(shown) && shown->isVisible() && shown->isModal() && shown->close())
                    seen = QStringList{shown->windowTitle()};
        });
        // The main window asks its own master password, as at the program's start (where a wrong one ends the
        // program, as the real window's test shows).
        utility.folder.execute(
            {"UPDATE Setup SET MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf("master"))});
        utility.dialogs.answers = QStringList{"master"};
        utility.click("mnuWebsite");
        QVERIFY(seen == QStringList{"Quillock!"} &&
                utility.dialogs.prompts.last().prompt == "Enter Master Password: " &&
                utility.dialogs.prompts.last().masked);
        WebsiteWindowFixture::answerNextWindow([&seen](QDialog& about) {
            auto* address = about.findChild<QLineEdit*>("txtWebPage");
            seen = QStringList{about.windowTitle(), about.findChild<QLabel*>("lblTitle")->text(),
                               about.findChild<QLabel*>("lblVersion")->text(), address->text()};
            seen << (allNamed(about) && about.findChild<QPushButton*>("cmdOK")->isDefault() ? "named" : "unnamed");
            about.findChild<QPushButton*>("cmdGotoOrvaneWebPage")->click();
            for (const char* other : {"https://other.example/x", ""}) {
                address->setText(other);
                about.findChild<QPushButton*>("cmdGoToWebPage")->click();
            }
            QTest::keyClick(&about, Qt::Key_Escape);
        });
        utility.click("mnuAbout");
        const QString home = SupportPages::makerHomePage();
        QCOMPARE(seen, (QStringList{"About Quillock", "Quillock", "Version 1.0.0", home, "named"}));
        QCOMPARE(shell.starts.size(), std::size_t(2)); // an empty address opens nothing
        QVERIFY(shell.starts[0].argument == home.toStdString() &&
                shell.starts[1].argument == "https://other.example/x");
    }

    // The pass asks first, saying what it does to every website; it runs only on Yes, and only while no main window
    // holds its share of the data file's lock (the install test shows the real program holding it).
    void reencipheringAsksAndWaitsForTheMainWindows()
    {
        Utility utility;
        QVERIFY(utility.start("k3y"));
        const QString before = utility.websites();
        utility.dialogs.replies = {Dialogs::vbNo};
        utility.click("Command3");
        QCOMPARE(utility.dialogs.messages.size(), 1);
        const ScriptedDialogs::Message question = utility.dialogs.messages[0];
        QVERIFY(question.prompt.contains("every website") && question.prompt.contains("A second run undoes the first"));
        QCOMPARE(question.style, Dialogs::vbYesNo + Dialogs::vbQuestion);
        QCOMPARE(utility.websites(), before);
        {
            const DataFileLock mainWindow = DataFileLock::share();
            QVERIFY(mainWindow.holds());
            utility.click("Command3");
            QCOMPARE(utility.dialogs.messages.size(), 3);
            QVERIFY(utility.dialogs.messages[2].prompt.startsWith("Error No: 70 Quillock is running on the data file"));
            QVERIFY(utility.dialogs.messages[2].prompt.endsWith("\nNo website was changed."));
            QCOMPARE(utility.websites(), before);
        }
        utility.click("Command3");
        QCOMPARE(utility.dialogs.messages.size(), 4);
        QVERIFY(utility.websites() != before);
        // A link planted in the lock file's place is not followed: the pass says why it cannot run.
        QVERIFY(QFile::remove(DataFileLock::path()) &&
                QFile::link(utility.folder.dataFilePath(), DataFileLock::path()));
        QVERIFY(!DataFileLock::share().holds());
        const QString enciphered = utility.websites();
        utility.click("Command3");
        QVERIFY(utility.dialogs.messages.last().prompt.contains("cannot be used, so the websites cannot be "
                                                                "re-enciphered: it is a link."));
        QCOMPARE(utility.websites(), enciphered);
    }

    // Protection is turned on and off from the utility's menu, each after a question and the master password (not
    // the check file's); a protected file opens the utility only with the master password, and its websites are
    // not re-enciphered.
    void protectionFromTheUtility()
    {
        Utility utility;
        utility.folder.execute(
            {"UPDATE Setup SET MasterPassword = " + QuotedValue(StoredMasterPassword::verifierOf("master"))});
        QVERIFY(utility.start("k3y"));
        const auto menusEnabled = [&utility] {
            return std::pair(utility.window->findChild<QAction*>("mnuProtect")->isEnabled(),
                             utility.window->findChild<QAction*>("mnuUnprotect")->isEnabled());
        };
        QCOMPARE(menusEnabled(), std::pair(true, false));
        const QString before = utility.websites();
        utility.dialogs.answers = QStringList{"k3y", "master"}; // each question is answered Yes
        utility.click("mnuProtect");
        QCOMPARE(utility.dialogs.messages.last().prompt, "Incorrect Password.");
        QCOMPARE(utility.websites(), before);
        utility.click("mnuProtect");
        QVERIFY(utility.dialogs.messages[2].prompt.contains("nobody can recover them"));
        QCOMPARE(utility.dialogs.messages.last().prompt, "The websites are protected under the master password.");
        QCOMPARE(menusEnabled(), std::pair(false, true));
        QCOMPARE(utility.websites().count("qp1:"), 6);
        const QString protectedWebsites = utility.websites();
        utility.click("Command3");
        QVERIFY(utility.dialogs.messages.last().prompt.contains("Nothing was changed."));
        QCOMPARE(utility.websites(), protectedWebsites);

        QVERIFY(!utility.start("k3y"));
        QCOMPARE(utility.dialogs.messages.last().prompt, "Incorrect Password.");
        QVERIFY(utility.start("master"));
        QCOMPARE(menusEnabled(), std::pair(false, true));
        utility.dialogs.answers = QStringList{"master"};
        utility.click("mnuUnprotect");
        QCOMPARE(utility.websites(), before);
        QCOMPARE(menusEnabled(), std::pair(true, false));
    }

    // A start over what stands at the check file's place, with the answer given. A refused start closes the window,
    // names the cause and leaves whatever stands there as it was. A password the setup editor stores is one the
    // utility keeps, whatever its length; a check file of the Blowfish form opens once with its password and is then
    // rewritten in the derived-key form, at once and for its owner only. A rewrite that fails leaves the old file,
    // and the right answer still opens the utility.
    void start_data()
    {
        QTest::addColumn<QByteArray>("checkFile"); // null: none; "link", "fifo"; else the bytes
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* tag, const QByteArray& file, const QString& answer, const QString& message,
                            bool accepted = false, bool diskFull = false) {
            QTest::newRow(tag) << file << answer << accepted << diskFull << message;
        };
        const QByteArray good = PasswordCheck::newFileText("k3y").toLatin1();
        const QByteArray blowfish = // as earlier versions wrote it
            basBlowfishByteFns::EncryptText("Sunshine\r\n", "Sunshine").toLatin1() + "\r\n";
        row("empty answer, no file", QByteArray(), "", "");
        row("wrong answer", good, "K3y", "Incorrect Password.");
        row("link to a good one", "link", "k3y", "cannot be read: it is a link.");
        row("FIFO", "fifo", "k3y", "cannot be read: it is not a regular file.");
        row("empty file", "", "k3y", "cannot be used: it is empty.");
        row("shorter than a block", "abc\r\n", "k3y", "cannot be used: it holds 5 bytes, too few");
        row("one byte too large", QByteArray(PasswordCheckFileMaxBytes + 1, 'a'), "k3y",
            "cannot be used: it is larger than any password check file");
        // A check file an editor or another system touched names the damage, even to the right answer.
        row("Windows line ends", QByteArray(good).replace("\n", "\r\n"), "k3y", "damaged: its line ends in a carriage");
        row("byte order mark", "\xef\xbb\xbf" + good, "k3y", "damaged: it begins with a byte order mark");
        row("leading blank", " " + good, "k3y", "damaged: it begins with a blank or a line break.");
        row("tabs between its parts", QByteArray(good).replace(' ', '\t'), "k3y", "damaged: its parts are separated");
        // A new password must be one the setup editor stores, by its rule and in its words.
        row("Latin-1 letter as a new password", QByteArray(), "caf\u00e9",
            "The Master Password cannot hold the character \"\u00e9\" (U+00E9)");
        row("new password longer than the setup editor stores", QByteArray(), QString(32768, QLatin1Char('a')),
            "The Master Password is too long: it holds 32,768 characters, and a stored text may hold at most 32,767.");
        row("blanks at its ends, quotes", QByteArray(), " O'Neil's \"pass\" ", "", true);
        row("the longest the setup editor stores, longer than any Blowfish key", QByteArray(),
            QString(32767, QLatin1Char('~')), "", true);
        row("Blowfish form", blowfish, "Sunshine", "rewritten in a new form", true);
        row("Blowfish form on a full disk", blowfish, "Sunshine", "still in its old form", true, true);
    }

    void start()
    {
        QFETCH(QByteArray, checkFile);
        QFETCH(QString, answer);
        QFETCH(bool, accepted);
        QFETCH(bool, diskFull);
        QFETCH(QString, message);
        Utility utility;
        const QString path = PasswordCheckFilePath();
        const QString good = utility.folder.path() + "/good.txt";
        WritePasswordCheckFile(good, QStringLiteral("k3y"));
        QFile file(path);
        if (checkFile == "link")
            QVERIFY(QFile::link(good, path));
        else if (checkFile == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (!checkFile.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(checkFile) >= 0 && file.flush());
        file.close();
        const QByteArray before = fileBytes(path);
        struct rlimit limit = {};
        getrlimit(RLIMIT_FSIZE, &limit);
        if (diskFull) {
            const struct rlimit small = {4, limit.rlim_max};
            std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const bool started = utility.start(answer);
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(started, accepted);
        QCOMPARE(utility.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(utility.dialogs.messageTexts().join("").contains(message));
        if (!accepted) {
            QVERIFY(!utility.window->isVisible());
            QCOMPARE(QFileInfo(path).isSymLink(), checkFile == "link");
            QCOMPARE(fileBytes(path), before);
            return;
        }
        QCOMPARE(
            QDir(utility.folder.path()).entryList({"Password.txt*"}, QDir::AllEntries | QDir::Hidden | QDir::System),
            QStringList{"Password.txt"});
        if (!diskFull)
            QCOMPARE(QFileInfo(path).permissions() & 0xF077, QFile::ReadOwner | QFile::WriteOwner);
        const PasswordCheck check = ReadPasswordCheckFile(path);
        QCOMPARE(check.form(), diskFull ? PasswordCheck::Form::Blowfish : PasswordCheck::Form::DerivedKey);
        QCOMPARE(fileBytes(path) == before, diskFull);

        // The next start takes the same answer (rewriting a file it could not rewrite before), and no other.
        utility.dialogs.messages.clear();
        QVERIFY(utility.start(answer) && !utility.start(answer.chopped(1)));
        QCOMPARE(utility.dialogs.messages.size(), diskFull ? 2 : 1);
        QCOMPARE(utility.dialogs.messageTexts().last(), "Incorrect Password.");
        QCOMPARE(ReadPasswordCheckFile(path).form(), PasswordCheck::Form::DerivedKey);
    }

    // The program's own password box gives the whole of a long answer back, pasted or typed, for the rule above to
    // judge: it cuts nothing off.
    void passwordBoxKeepsALongAnswerWhole()
    {
        const QString pasted(32768, QLatin1Char('a'));
        QTimer::singleShot(0, [&pasted] {
            if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                box->findChild<QLineEdit*>()->setText(pasted);
                box->accept();
            }
        });
        QCOMPARE(QtDialogs().inputBox("Enter Password: ", {}, {}, true), pasted);
    }
};

QTEST_MAIN(TestUtility)
#include "tst_utility.moc"
