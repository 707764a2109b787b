// Opening a link through the shell: the scratch page, the look-up, the start and the two messages.

#include "launch/OpenWebPage.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/shell/RecordingShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>
#include <optional>

Q_DECLARE_METATYPE(std::optional<std::string>)

namespace {

const QString ScratchLine = QStringLiteral("\"<HTML> <\\HTML>\"\r\n");

} // namespace

class TestOpenWebPage : public QObject
{
    Q_OBJECT

private slots:
    void opensOrReports_data();
    void opensOrReports();
    void passesTheLinkUnchanged_data();
    void passesTheLinkUnchanged();
    void anEmptyLinkDoesNothing();
    void passesTheOwnerWindow();
};

void TestOpenWebPage::opensOrReports_data()
{
    QTest::addColumn<std::optional<std::string>>("associated");
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("startedProgram");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");

    QTest::newRow("started") << std::optional<std::string>("/usr/bin/browser") << true << "/usr/bin/browser"
                             << ""
                             << "";
    QTest::newRow("the program's path loses its blanks")
        << std::optional<std::string>("  /opt/my browser/run  ") << true << "/opt/my browser/run"
        << ""
        << "";
    QTest::newRow("no program associated") << std::optional<std::string>() << true << ""
                                           << "Could not find associated Browser"
                                           << "Browser Not Found";
    QTest::newRow("only blanks associated") << std::optional<std::string>("   ") << true << ""
                                            << "Could not find associated Browser"
                                            << "Browser Not Found";
    QTest::newRow("the start fails") << std::optional<std::string>("/usr/bin/browser") << false << "/usr/bin/browser"
                                     << "Unable to open Web Page."
                                     << "Quillock";
}

void TestOpenWebPage::opensOrReports()
{
    QFETCH(std::optional<std::string>, associated);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, startedProgram);
    QFETCH(QString, message);
    QFETCH(QString, title);
    const TempDataFolder folder;
    Desktop::RecordingShell shell;
    shell.associatedProgram = associated;
    shell.startSucceeds = startSucceeds;
    ScriptedDialogs dialogs;

    OpenWebPage(QStringLiteral("https://example.test/"), nullptr);

    const QString scratch = QDir(folder.path()).filePath(QStringLiteral("test.htm"));
    QCOMPARE(shell.lookedUp.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(shell.lookedUp.front()), scratch);
    QCOMPARE(QString::fromStdString(shell.documentContents.front()), ScratchLine);
    QVERIFY2(!QFile::exists(scratch), "the scratch page was left behind");

    QCOMPARE(shell.starts.empty(), startedProgram.isEmpty());
    if (!startedProgram.isEmpty())
        QCOMPARE(QString::fromStdString(shell.starts.front().program), startedProgram);
    if (message.isEmpty()) {
        QVERIFY(dialogs.messages.isEmpty());
    } else {
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.front().prompt, message);
        QCOMPARE(dialogs.messages.front().title, title);
        QCOMPARE(dialogs.messages.front().style, Dialogs::vbExclamation);
    }
}

void TestOpenWebPage::passesTheLinkUnchanged_data()
{
    QTest::addColumn<QString>("link");
    QTest::newRow("web address") << "https://example.test/login?user=a&next=%2F#top";
    QTest::newRow("not a web address") << "C:\\My Files\\page \"one\".txt";
    QTest::newRow("blanks around it") << "  example.test  ";
    QTest::newRow("characters beyond ASCII") << QString::fromUtf8("https://bücher.example/straße");
}

void TestOpenWebPage::passesTheLinkUnchanged()
{
    QFETCH(QString, link);
    const TempDataFolder folder;
    Desktop::RecordingShell shell;
    ScriptedDialogs dialogs;
    OpenWebPage(link, nullptr);
    QCOMPARE(shell.starts.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(shell.starts.front().argument), link);
}

void TestOpenWebPage::anEmptyLinkDoesNothing()
{
    const TempDataFolder folder;
    Desktop::RecordingShell shell;
    ScriptedDialogs dialogs;
    OpenWebPage(QString(), nullptr);
    QVERIFY(shell.lookedUp.empty());
    QVERIFY(shell.starts.empty());
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("test.htm"))));
}

void TestOpenWebPage::passesTheOwnerWindow()
{
    const TempDataFolder folder;
    Desktop::RecordingShell shell;
    ScriptedDialogs dialogs;
    QWidget owner;
    OpenWebPage(QStringLiteral("https://example.test/"), &owner);
    QCOMPARE(shell.starts.size(), std::size_t{1});
    QCOMPARE(shell.starts.front().ownerWindow, static_cast<std::uintptr_t>(owner.winId()));
}

QTEST_MAIN(TestOpenWebPage)
#include "tst_openwebpage.moc"
