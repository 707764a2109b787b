// The shared routines: captions from field names, centring, text files, statement text helpers, the
// number a text begins with, and the start-up read of the settings row.

#include "app/StartupSettings.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/NumberText.h"
#include "data/StatementText.h"
#include "platform/app/Application.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void textsAndCentring();
    void textFiles();
    void numberText_data();
    void numberText();
    void startupRead_data();
    void startupRead();
    void startupReadOfAMissingDataFileFails();
};

void TestModule1::textsAndCentring()
{
    // The underscore, backquote and brackets count as capitals; digits do not.
    QCOMPARE(FieldNameToCaption(QStringLiteral("WebsiteType2ID")), QStringLiteral("Website Type2 ID"));
    QCOMPARE(FieldNameToCaption(QStringLiteral("x[y`z_A")), QStringLiteral("x [y `z _A"));
    // The search ignores case, never looks inside what it inserted and finds matches side by side.
    QCOMPARE(ReplaceText(QStringLiteral("ABb"), QStringLiteral("ab"), QStringLiteral("xa")), QStringLiteral("xab"));
    QCOMPARE(ReplaceText(QStringLiteral("xxxx"), QStringLiteral("xx"), QStringLiteral("y")), QStringLiteral("yy"));
    QCOMPARE(ReplaceText(QStringLiteral("abc"), QString(), QStringLiteral("Z")), QStringLiteral("abc"));
    QCOMPARE(FixQuotes(QStringLiteral("'x''\"y\"")), QStringLiteral("''x''''\"y\""));

    // Wider than the screen by an odd number of pixels: the offset is halved toward zero.
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QVERIFY(!screen.isEmpty());
    QWidget form;
    form.resize(screen.width() + 201, 101);
    CenterForm(form);
    QCOMPARE(form.pos(), QPoint(-100, (screen.height() - 101) / 2));
}

// Every Latin-1 character survives; a file is rewritten over a longer one, and a new one is readable by
// its owner only.
void TestModule1::textFiles()
{
    QString text;
    for (int i = 0; i < 256; ++i)
        text += QChar(i);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Password.txt"));
    QVERIFY(WriteTextFile(QString(300, QLatin1Char('x')), path));
    QVERIFY(WriteTextFile(text, path));
    QCOMPARE(ReadTextFile(path), text + QStringLiteral("\r\n"));
    QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    const auto missing = caughtError([&] { ReadTextFile(dir.filePath(QStringLiteral("absent.txt"))); });
    QVERIFY(missing && missing->description().contains(QStringLiteral("absent.txt")));
    QCOMPARE(missing->number(), ErrorNumber::FileNotFound);
    const auto unwritable = caughtError([&] { WriteTextFile(QStringLiteral("x"), dir.filePath("no/such/f.txt")); });
    QVERIFY(unwritable);
    QCOMPARE(unwritable->number(), ErrorNumber::FileAccess);
}

// A stored Yes/No value is read as the number its text begins with, but for the words True and False.
void TestModule1::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("boolean");
    QTest::newRow("blanks anywhere, plus sign, stops at a letter") << " + 1 2\t3\n.5 x9" << 123.5 << true;
    QTest::newRow("negative, leading point, D exponent") << "-.5d+2" << -50.0 << true;
    QTest::newRow("null") << "" << 0.0 << false;
    QTest::newRow("carriage return is not a blank") << "\r5" << 0.0 << true; // a Yes/No text is trimmed first
    QTest::newRow("tiny") << "1e-400" << 0.0 << false;
    QTest::newRow("word") << "true" << 0.0 << true;
}

void TestModule1::numberText()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(bool, boolean);
    QCOMPARE(NumberTextBeginsWith(text), number);
    QCOMPARE(BooleanFromText(text), boolean);
}

void TestModule1::startupRead_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("rowFound");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("launcher");
    QTest::addColumn<double>("relockMinutes");
    QTest::addColumn<QList<double>>("sizes"); // launcher height, width, form height, width
    const QList<double> nullSizes(4, 8000);
    // a new data file keeps the main window's design size, so that every button shows at the first start
    QTest::newRow("new data file") << QString() << true << QString() << false << 15.0
                                   << QList<double>{8000, 8000, 8655, 12885};
    QTest::newRow("all set") << "UPDATE Setup SET DefaultToLauncher = 1, LauncherHeight = 4000, LauncherWidth = 3000, "
                                "FormHeight = 9000, FormWidth = 12000, NumMinutesBeforeRequiringPasswordAgain = '7'"
                             << true << QString() << true << 7.0 << QList<double>{4000, 3000, 9000, 12000};
    QTest::newRow("password, null period counts as 0")
        << "UPDATE Setup SET MasterPassword = '%1', NumMinutesBeforeRequiringPasswordAgain = Null, FormHeight = Null, "
           "FormWidth = Null"
        << true << "Open 'Sesame\"" << false << 0.0 << nullSizes;
    QTest::newRow("no settings row") << "DELETE FROM Setup" << false << QString() << false << 0.0
                                     << QList<double>(4, 0);
}

void TestModule1::startupRead()
{
    QFETCH(QString, statement);
    QFETCH(bool, rowFound);
    QFETCH(QString, password);
    QFETCH(bool, launcher);
    QFETCH(double, relockMinutes);
    QFETCH(QList<double>, sizes);
    TempDataFolder folder;
    if (!statement.isEmpty())
        folder.execute({statement.contains(QStringLiteral("%1"))
                            ? statement.arg(FixQuotes(dsEncrypt().Encrypt2(password)))
                            : statement});
    gdblRelockMinutes = gdblMinutesLeft = 0; // as in a fresh process
    gblnDefaultToLauncher = false;

    const StartupSettings read = ReadStartupSettings();
    QCOMPARE(read.rowFound, rowFound);
    QCOMPARE(read.expectedMasterPassword, password);
    QCOMPARE(gblnDefaultToLauncher, launcher);
    QCOMPARE(gdblRelockMinutes, relockMinutes);
    QCOMPARE(gdblMinutesLeft, relockMinutes);
    QCOMPARE((QList<double>{read.launcherHeight, read.launcherWidth, read.formHeight, read.formWidth}), sizes);
    QVERIFY(!gobjRecordset.holdsObject());
}

void TestModule1::startupReadOfAMissingDataFileFails()
{
    QTemporaryDir empty;
    Application::setPath(empty.path());
    const auto error = caughtError([] { ReadStartupSettings(); });
    QVERIFY(error && error->description().contains(QStringLiteral("Quillock.mdb")));
    QVERIFY(!QFileInfo::exists(DataFilePath()));
    gobjConnection.reset();
    Application::setPath(QString());
}

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
