// The desktop's shell on Linux: the default application for web pages from a temporary tree of XDG
// directories, the command line of its desktop entry, and a detached start.

#include "launch/OpenWebPage.h"
#include "platform/shell/DesktopExec.h"
#include "platform/shell/XdgShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const XdgVariables[] = {"HOME",          "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                    "XDG_DATA_HOME", "XDG_DATA_DIRS",   "XDG_CURRENT_DESKTOP"};

QString entry(const QString& extra = QString())
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Browser\nExec=browser %u\n") + extra;
}

QString defaultFor(const QString& mimeType, const QString& ids)
{
    return QStringLiteral("[Default Applications]\n%1=%2\n").arg(mimeType, ids);
}

QStringList toStrings(const std::vector<std::string>& strings)
{
    QStringList list;
    for (const std::string& text : strings)
        list << QString::fromStdString(text);
    return list;
}

} // namespace

class TestXdg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void findsTheDefaultApplication_data();
    void findsTheDefaultApplication();
    void findsNothingForOtherDocuments();
    void execCommandLine_data();
    void execCommandLine();
    void startsTheProgramDetached();
    void reportsAMissingBrowserAndAFailedStart_data();
    void reportsAMissingBrowserAndAFailedStart();

private:
    void writeFile(const QString& relativePath, const QString& contents, bool executable = false);
    QString path(const QString& relativePath) const { return m_root->filePath(relativePath); }

    std::unique_ptr<QTemporaryDir> m_root;
    QList<QPair<QByteArray, QByteArray>> m_savedEnvironment;
};

void TestXdg::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_savedEnvironment.clear();
    for (const char* name : XdgVariables)
        m_savedEnvironment.append({name, qgetenv(name)});
    qputenv("HOME", path("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", path("sysconfig").toUtf8());
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    qputenv("XDG_DATA_DIRS", (path("sysdata") + QStringLiteral(":") + path("moredata")).toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "Openbox:GNOME");
    // Two installed browsers that declare no MIME types.
    writeFile("data/applications/a.desktop", entry());
    writeFile("sysdata/applications/b.desktop", entry());
}

void TestXdg::cleanup()
{
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
    m_root.reset();
}

void TestXdg::writeFile(const QString& relativePath, const QString& contents, bool executable)
{
    const QString file = path(relativePath);
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(contents.toUtf8());
    out.close();
    if (executable)
        out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
}

void TestXdg::findsTheDefaultApplication_data()
{
    QTest::addColumn<QStringList>("files"); // path, contents, path, contents, ...
    QTest::addColumn<QString>("found");     // relative path, or empty for none

    const QString html = QStringLiteral("text/html");
    QTest::newRow("the user's list before the system's")
        << QStringList{"config/mimeapps.list", defaultFor(html, "a.desktop"), "sysdata/applications/mimeapps.list",
                       defaultFor(html, "b.desktop")}
        << "data/applications/a.desktop";
    QTest::newRow("the desktop's own list before the common one")
        << QStringList{"config/mimeapps.list", defaultFor(html, "a.desktop"), "config/gnome-mimeapps.list",
                       defaultFor(html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("the config folders before the data folders")
        << QStringList{"sysconfig/mimeapps.list", defaultFor(html, "b.desktop"), "data/applications/mimeapps.list",
                       defaultFor(html, "a.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("a list in a data folder")
        << QStringList{"moredata/applications/mimeapps.list", defaultFor(html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("the first installed entry of a list")
        << QStringList{"config/mimeapps.list", defaultFor(html, "missing.desktop;b.desktop;a.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("hidden entries and missing TryExec programs are not installed")
        << QStringList{"data/applications/h.desktop", entry("Hidden=true\n"),
                       "data/applications/t.desktop", entry("TryExec=/nonexistent/browser\n"),
                       "config/mimeapps.list",        defaultFor(html, "h.desktop;t.desktop;a.desktop")}
        << "data/applications/a.desktop";
    QTest::newRow("a TryExec program on PATH counts")
        << QStringList{"data/applications/p.desktop", entry("TryExec=sh\n"), "config/mimeapps.list",
                       defaultFor(html, "p.desktop;a.desktop")}
        << "data/applications/p.desktop";
    QTest::newRow("the user's hidden entry hides the system's of the same ID")
        << QStringList{"data/applications/b.desktop", entry("Hidden=true\n"), "config/mimeapps.list",
                       defaultFor(html, "b.desktop;a.desktop")}
        << "data/applications/a.desktop";
    QTest::newRow("a list without an installed default gives way to the next")
        << QStringList{"config/mimeapps.list", defaultFor(html, "missing.desktop"), "sysconfig/mimeapps.list",
                       defaultFor(html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("an entry in a subfolder")
        << QStringList{"moredata/applications/vendor/web.desktop", entry(), "config/mimeapps.list",
                       defaultFor(html, "vendor-web.desktop")}
        << "moredata/applications/vendor/web.desktop";
    QTest::newRow("an added association when no list names a default")
        << QStringList{"config/mimeapps.list", "[Added Associations]\ntext/html=b.desktop;\n"}
        << "sysdata/applications/b.desktop";
    QTest::newRow("an entry that declares the type")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/plain;text/html;\n")}
        << "moredata/applications/d.desktop";
    QTest::newRow("a removed association")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/html;\n"), "config/mimeapps.list",
                       "[Removed Associations]\ntext/html=d.desktop\n"}
        << "";
    QTest::newRow("a default for another type only")
        << QStringList{"config/mimeapps.list", defaultFor("image/png", "a.desktop")} << "";
    QTest::newRow("nothing associated") << QStringList{} << "";
}

void TestXdg::findsTheDefaultApplication()
{
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        writeFile(files[i], files[i + 1]);
    Desktop::XdgShell shell;
    const std::optional<std::string> program = shell.findExecutable(path("folder/test.htm").toStdString());
    QCOMPARE(program.has_value(), !found.isEmpty());
    if (program)
        QCOMPARE(QString::fromStdString(*program), path(found));
}

void TestXdg::findsNothingForOtherDocuments()
{
    writeFile("config/mimeapps.list", defaultFor("text/html", "a.desktop") + "text/plain=a.desktop\n");
    Desktop::XdgShell shell;
    QVERIFY(!shell.findExecutable(path("notes.txt").toStdString()));
    QVERIFY(shell.findExecutable(path("PAGE.HTML").toStdString()));
}

void TestXdg::execCommandLine_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("commandLine");

    const QString link = QStringLiteral("https://example.test/?a=1&b=2");
    QTest::newRow("%U") << "/usr/bin/chromium %U" << link << QStringList{"/usr/bin/chromium", link};
    QTest::newRow("%u among options") << "browser --new-window %u --x" << link
                                      << QStringList{"browser", "--new-window", link, "--x"};
    QTest::newRow("%f and %F") << "viewer %f" << link << QStringList{"viewer", link};
    QTest::newRow("no field code: the link goes last")
        << "browser --private" << link << QStringList{"browser", "--private", link};
    QTest::newRow("a field code inside an argument")
        << "browser --url=%u" << link << QStringList{"browser", "--url=" + link};
    QTest::newRow("other field codes are dropped")
        << "browser %i --class %c %k %u" << link << QStringList{"browser", "--class", link};
    QTest::newRow("a percent sign") << "browser --zoom=100%% %u" << link << QStringList{"browser", "--zoom=100%", link};
    QTest::newRow("a quoted program with blanks")
        << "\"/opt/my browser/run\" %u" << link << QStringList{"/opt/my browser/run", link};
    QTest::newRow("escapes inside quotes") << R"("/opt/x\"y\\z\$\`" %u)" << link << QStringList{"/opt/x\"y\\z$`", link};
    QTest::newRow("an empty quoted argument") << "browser \"\" %u" << link << QStringList{"browser", "", link};
    QTest::newRow("blanks between arguments") << "  browser \t  %u  " << link << QStringList{"browser", link};
    QTest::newRow("a link with blanks and quotes stays one argument")
        << "browser %u"
        << "a b \"c\" $HOME" << QStringList{"browser", "a b \"c\" $HOME"};
    QTest::newRow("an unclosed quote") << "\"browser %u" << link << QStringList{};
    QTest::newRow("no program") << "" << link << QStringList{};
}

void TestXdg::execCommandLine()
{
    QFETCH(QString, exec);
    QFETCH(QString, link);
    QFETCH(QStringList, commandLine);
    QCOMPARE(toStrings(Desktop::execCommandLine(exec.toStdString(), link.toStdString())), commandLine);
}

void TestXdg::startsTheProgramDetached()
{
    // The program writes down its arguments and session, then stays running.
    writeFile("bin/recorder",
              "#!/bin/sh\n"
              "read -r pid comm state ppid pgrp session rest < /proc/$$/stat\n"
              "printf '%s\\n' \"$#\" \"$1\" \"$2\" \"$session\" \"$$\" > \"$0.tmp\"\n"
              "mv \"$0.tmp\" \"$0.out\"\n"
              "exec sleep 60\n",
              true);
    // Exec's string escapes: \\s is a blank, kept inside the quoted argument.
    writeFile("data/applications/recorder.desktop",
              entry().replace("Exec=browser %u", "Exec=\"" + path("bin/recorder") + "\" \"--flag\\swith blank\" %u"));
    const QString link = QStringLiteral("https://example.test/a b");
    Desktop::XdgShell shell;
    QVERIFY(shell.startMaximized(path("data/applications/recorder.desktop").toStdString(), link.toStdString(), 0));

    QFile out(path("bin/recorder.out"));
    QTRY_VERIFY_WITH_TIMEOUT(out.exists(), 10000);
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(out.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(0, 3), (QStringList{"2", "--flag with blank", link}));
    const pid_t started = lines.value(4).toInt();
    QVERIFY(started > 1);
    QVERIFY2(lines.value(3).toInt() != getsid(0), "the program shares this program's session");
    QVERIFY2(kill(started, 0) == 0, "the program is not running");
    QVERIFY2(waitpid(started, nullptr, WNOHANG) == -1 && errno == ECHILD, "the program is a child of this one");
    kill(started, SIGTERM);
}

void TestXdg::reportsAMissingBrowserAndAFailedStart_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("message");

    QTest::newRow("no browser") << QStringList{} << "Could not find associated Browser";
    QTest::newRow("a browser that cannot start")
        << QStringList{"data/applications/gone.desktop", entry().replace("browser %u", "/nonexistent/browser %u"),
                       "config/mimeapps.list", defaultFor("text/html", "gone.desktop")}
        << "Unable to open Web Page.";
}

void TestXdg::reportsAMissingBrowserAndAFailedStart()
{
    QFETCH(QStringList, files);
    QFETCH(QString, message);
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        writeFile(files[i], files[i + 1]);
    const TempDataFolder folder;
    ScriptedDialogs dialogs;
    Desktop::XdgShell shell;
    Desktop::setShell(&shell);
    OpenWebPage(QStringLiteral("https://example.test/"), nullptr);
    Desktop::setShell(nullptr);
    QCOMPARE(dialogs.messageTexts(), QStringList{message});
    QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("test.htm"))));
}

QTEST_MAIN(TestXdg)
#include "tst_xdg.moc"
