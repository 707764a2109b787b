// The desktop's shell on Linux: the default application for web pages from a temporary tree of XDG
// directories, and the command line of its desktop entry.

#include "platform/shell/DesktopExec.h"
#include "platform/shell/XdgShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString entry(const QString& extra = QString())
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Browser\nExec=browser %u\n") + extra;
}

QString defaultIs(const QString& ids, const QString& mimeType = QStringLiteral("text/html"))
{
    return QStringLiteral("[Default Applications]\n%1=%2\n").arg(mimeType, ids);
}

// A desktop entry in the user's applications folder.
QStringList installed(const QString& name, const QString& extra)
{
    return {QStringLiteral("data/applications/%1.desktop").arg(name), entry(extra)};
}

const QString User = QStringLiteral("config/mimeapps.list");
const QString System = QStringLiteral("sysconfig/mimeapps.list");
// Two installed browsers that declare no MIME types.
const QString A = QStringLiteral("data/applications/a.desktop");
const QString B = QStringLiteral("sysdata/applications/b.desktop");

} // namespace

class TestXdg : public QObject
{
    Q_OBJECT

private slots:
    void findsTheDefaultApplication_data();
    void findsTheDefaultApplication();
    void execCommandLine_data();
    void execCommandLine();
};

void TestXdg::findsTheDefaultApplication_data()
{
    QTest::addColumn<QStringList>("files"); // path, contents, path, contents, ...
    QTest::addColumn<QString>("found");     // relative path, or empty for none

    QTest::newRow("the user's list before the system's")
        << QStringList{User, defaultIs("a.desktop"), System, defaultIs("b.desktop")} << A;
    QTest::newRow("the desktop's own list before the common one")
        << QStringList{User, defaultIs("a.desktop"), "config/gnome-mimeapps.list", defaultIs("b.desktop")} << B;
    QTest::newRow("the config folders before the data folders")
        << QStringList{System, defaultIs("b.desktop"), "data/applications/mimeapps.list", defaultIs("a.desktop")} << B;
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
    QTest::newRow("an entry that declares the type")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/plain;text/html;\n")}
        << "moredata/applications/d.desktop";
    QTest::newRow("a removed association")
        << QStringList{"moredata/applications/d.desktop", entry("MimeType=text/html;\n"), User,
                       "[Removed Associations]\ntext/html=d.desktop\n"}
        << "";
    QTest::newRow("a default for another type only") << QStringList{User, defaultIs("a.desktop", "image/png")} << "";
}

void TestXdg::findsTheDefaultApplication()
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

void TestXdg::execCommandLine_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("commandLine");

    const QString link = QStringLiteral("https://example.test/?a=1&b=2");
    QTest::newRow("%U among options and blanks") << "  /usr/bin/chromium \t --new-window %U --x  " << link
                                                 << QStringList{"/usr/bin/chromium", "--new-window", link, "--x"};
    QTest::newRow("%f inside an argument, other field codes dropped, %%, an empty quoted argument")
        << R"(viewer %i --class %c %k --zoom=100%% "" --url=%f)" << link
        << QStringList{"viewer", "--class", "--zoom=100%", "", "--url=" + link};
    QTest::newRow("no field code: the link goes last")
        << "browser --private" << link << QStringList{"browser", "--private", link};
    QTest::newRow("a quoted program with blanks and escapes")
        << R"("/opt/my x\"y\\z\$\`" %u)" << link << QStringList{"/opt/my x\"y\\z$`", link};
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

QTEST_MAIN(TestXdg)
#include "tst_xdg.moc"
