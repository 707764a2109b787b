// Opening a link through the shell: the scratch page, the look-up, the start and the two messages.

#include "launch/OpenWebPage.h"
#include "platform/dialogs/Dialogs.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

class TestOpenWebPage : public QObject
{
    Q_OBJECT

private slots:
    void opensOrReports_data();
    void opensOrReports();
};

void TestOpenWebPage::opensOrReports_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("associated"); // null for none
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("started");     // the program started, if any
    QTest::addColumn<QStringList>("message"); // prompt and title, if any

    const QString link = QStringLiteral("https://example.test/");
    const QString browser = QStringLiteral("/usr/bin/browser");
    const QStringList notFound{"Could not find associated Browser", "Browser Not Found"};
    QTest::newRow("started, the program's path without its blanks, the link as it is")
        << QString::fromUtf8("https://bücher.example/straße?a=1&b=%2F#top") << "  /opt/my browser/run  " << true
        << "/opt/my browser/run" << QStringList{};
    QTest::newRow("no program associated") << link << QString() << true << "" << notFound;
    QTest::newRow("only blanks associated") << link << "   " << true << "" << notFound;
    QTest::newRow("the start fails, a link that is no web address")
        << "  C:\\My Files\\page \"one\".txt  " << browser << false << browser
        << QStringList{"Unable to open Web Page.", "Quillock"};
    QTest::newRow("an empty link does nothing") << "" << browser << true << "" << QStringList{};
}

void TestOpenWebPage::opensOrReports()
{
    QFETCH(QString, link);
    QFETCH(QString, associated);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, started);
    QFETCH(QStringList, message);
    const TempDataFolder folder;
    Desktop::RecordingShell shell;
    shell.associatedProgram = associated.isNull() ? std::nullopt : std::optional(associated.toStdString());
    shell.startSucceeds = startSucceeds;
    ScriptedDialogs dialogs;
    QWidget owner;

    OpenWebPage(link, &owner);

    // The look-up was for a page that existed then and is gone now.
    const QString scratch = QDir(folder.path()).filePath(QStringLiteral("test.htm"));
    QCOMPARE(shell.lookedUp, link.isEmpty() ? std::vector<std::string>{} : std::vector{scratch.toStdString()});
    if (!link.isEmpty())
        QCOMPARE(QString::fromStdString(shell.documentContents.front()), QStringLiteral("\"<HTML> <\\HTML>\"\r\n"));
    QVERIFY2(!QFile::exists(scratch), "the scratch page was left behind");

    QCOMPARE(shell.starts.size(), static_cast<std::size_t>(started.isEmpty() ? 0 : 1));
    if (!started.isEmpty()) {
        QCOMPARE(QString::fromStdString(shell.starts.front().program), started);
        QCOMPARE(QString::fromStdString(shell.starts.front().argument), link);
        QCOMPARE(shell.starts.front().ownerWindow, static_cast<std::uintptr_t>(owner.winId()));
    }
    QCOMPARE(dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE((QStringList{dialogs.messages.front().prompt, dialogs.messages.front().title}), message);
        QCOMPARE(dialogs.messages.front().style, Dialogs::vbExclamation);
    }
}

QTEST_MAIN(TestOpenWebPage)
#include "tst_openwebpage.moc"
