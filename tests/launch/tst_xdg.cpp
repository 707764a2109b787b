// The desktop's shell on Linux: the default application for web pages from a temporary tree of XDG
// directories, the command line of its desktop entry, and a detached start.

#include "platform/shell/DesktopExec.h"
#include "platform/shell/XdgShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString entry(const QString& extra = QString())
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Browser\nExec=browser %u\n") + extra;
}

QString defaultFor(const QString& mimeType, const QString& ids)
{
    return QStringLiteral("[Default Applications]\n%1=%2\n").arg(mimeType, ids);
}

const QString UserList = QStringLiteral("config/mimeapps.list");
const QString Html = QStringLiteral("text/html");

} // namespace

class TestXdg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void findsTheDefaultApplication_data();
    void findsTheDefaultApplication();
    void execCommandLine_data();
    void execCommandLine();
    void startsTheProgramDetached();

private:
    // Files given as path, contents, path, contents, ...
    void writeFiles(const QStringList& files, bool executable = false);
    QString path(const QString& relativePath) const { return m_root->filePath(relativePath); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestXdg::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    qputenv("HOME", path("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", path("sysconfig").toUtf8());
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    qputenv("XDG_DATA_DIRS", (path("sysdata") + QStringLiteral(":") + path("moredata")).toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "Openbox:GNOME");
    // Two installed browsers that declare no MIME types.
    writeFiles({"data/applications/a.desktop", entry(), "sysdata/applications/b.desktop", entry()});
}

void TestXdg::writeFiles(const QStringList& files, bool executable)
{
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        QFile out(path(files[i]));
        QVERIFY(QDir().mkpath(QFileInfo(out).path()));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(files[i + 1].toUtf8());
        out.close();
        if (executable)
            out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
    }
}

void TestXdg::findsTheDefaultApplication_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found"); // relative path, or empty for none

    QTest::newRow("the user's list before the system's")
        << QStringList{UserList, defaultFor(Html, "a.desktop"), "sysconfig/mimeapps.list",
                       defaultFor(Html, "b.desktop")}
        << "data/applications/a.desktop";
    QTest::newRow("the desktop's own list before the common one")
        << QStringList{UserList, defaultFor(Html, "a.desktop"), "config/gnome-mimeapps.list",
                       defaultFor(Html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("the config folders before the data folders")
        << QStringList{"sysconfig/mimeapps.list", defaultFor(Html, "b.desktop"), "data/applications/mimeapps.list",
                       defaultFor(Html, "a.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("a list in the last data folder")
        << QStringList{"moredata/applications/mimeapps.list", defaultFor(Html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("the first installed entry of a list: hidden, missing TryExec and unknown ones are not")
        << QStringList{"data/applications/h.desktop",
                       entry("Hidden=true\n"),
                       "data/applications/t.desktop",
                       entry("TryExec=/nonexistent/browser\n"),
                       UserList,
                       defaultFor(Html, "h.desktop;t.desktop;missing.desktop;b.desktop;a.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("a TryExec program on PATH counts")
        << QStringList{"data/applications/p.desktop", entry("TryExec=sh\n"), UserList,
                       defaultFor(Html, "p.desktop;a.desktop")}
        << "data/applications/p.desktop";
    QTest::newRow("the user's hidden entry hides the system's of the same ID")
        << QStringList{"data/applications/b.desktop", entry("Hidden=true\n"), UserList,
                       defaultFor(Html, "b.desktop;a.desktop")}
        << "data/applications/a.desktop";
    QTest::newRow("a list without an installed default gives way to the next")
        << QStringList{UserList, defaultFor(Html, "missing.desktop"), "sysconfig/mimeapps.list",
                       defaultFor(Html, "b.desktop")}
        << "sysdata/applications/b.desktop";
    QTest::newRow("an entry in a subfolder") << QStringList{"moredata/applications/vendor/web.desktop", entry(),
                                                            UserList, defaultFor(Html, "vendor-web.desktop")}
                                             << "moredata/applications/vendor/web.desktop";
    QTest::newRow("an added association when no list names a default")
        << QStringList{UserList, "[Added Associations]\ntext/html=b.desktop;\n"} << "sysdata/applications/b.desktop";
    QTest::newRow("an entry that declares the type")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/plain;text/html;\n")}
        << "moredata/applications/d.desktop";
    QTest::newRow("a removed association")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/html;\n"), UserList,
                       "[Removed Associations]\ntext/html=d.desktop\n"}
        << "";
    QTest::newRow("a default for another type only")
        << QStringList{UserList, defaultFor("image/png", "a.desktop")} << "";
}

void TestXdg::findsTheDefaultApplication()
{
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    writeFiles(files);
    const std::optional<std::string> program =
        Desktop::XdgShell().findExecutable(path("folder/test.htm").toStdString());
    QCOMPARE(QString::fromStdString(program.value_or("")), found.isEmpty() ? found : path(found));
}

void TestXdg::execCommandLine_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("commandLine");

    const QString link = QStringLiteral("https://example.test/?a=1&b=2");
    QTest::newRow("%U") << "/usr/bin/chromium %U" << link << QStringList{"/usr/bin/chromium", link};
    QTest::newRow("%f among options") << "viewer --new-window %f --x" << link
                                      << QStringList{"viewer", "--new-window", link, "--x"};
    QTest::newRow("no field code: the link goes last")
        << "browser --private" << link << QStringList{"browser", "--private", link};
    QTest::newRow("a field code inside an argument")
        << "browser --url=%u" << link << QStringList{"browser", "--url=" + link};
    QTest::newRow("other field codes are dropped")
        << "browser %i --class %c %k %u" << link << QStringList{"browser", "--class", link};
    QTest::newRow("a percent sign") << "browser --zoom=100%% %u" << link << QStringList{"browser", "--zoom=100%", link};
    QTest::newRow("a quoted program with blanks and escapes")
        << R"("/opt/my x\"y\\z\$\`" %u)" << link << QStringList{"/opt/my x\"y\\z$`", link};
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
    QStringList arguments;
    for (const std::string& argument : Desktop::execCommandLine(exec.toStdString(), link.toStdString()))
        arguments << QString::fromStdString(argument);
    QCOMPARE(arguments, commandLine);
}

void TestXdg::startsTheProgramDetached()
{
    // The program writes down its arguments and session, then stays running.
    writeFiles({"bin/recorder", "#!/bin/sh\n"
                                "read -r pid comm state ppid pgrp session rest < /proc/$$/stat\n"
                                "printf '%s\\n' \"$#\" \"$1\" \"$2\" \"$session\" \"$$\" > \"$0.tmp\"\n"
                                "mv \"$0.tmp\" \"$0.out\"\n"
                                "exec sleep 60\n"},
               true);
    // Exec's string escapes: \\s is a blank, kept inside the quoted argument.
    writeFiles({"data/applications/recorder.desktop",
                entry().replace("browser %u", "\"" + path("bin/recorder") + "\" \"--flag\\swith blank\" %u")});
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
    QVERIFY2(!shell.startMaximized("/nonexistent/browser", link.toStdString(), 0), "a failed start was not reported");
}

QTEST_MAIN(TestXdg)
#include "tst_xdg.moc"
