// The shared routines: captions from field names, centring, text files, statement text helpers, the
// number a text begins with, and the start-up read of the settings row.

#include "app/StartupSettings.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/NumberText.h"
#include "platform/app/Application.h"
#include "support/CaughtError.h"
#include "support/TempDataFolder.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <utility>

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void fieldNameToCaption_data();
    void fieldNameToCaption();
    void centeredOffset_data();
    void centeredOffset();
    void centerFormPlacesTheWindowInTheMiddle();
    void replaceText_data();
    void replaceText();
    void fixQuotes();
    void textFileRoundTrip();
    void textFileErrors();
    void numberText_data();
    void numberText();
    void startupRead_data();
    void startupRead();
    void startupReadWithoutSettingsRow();
    void startupReadOfAMissingDataFileFails();
};

void TestModule1::fieldNameToCaption_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("caption");
    // The underscore, backquote and brackets count as capitals; digits do not.
    const std::pair<const char*, const char*> rows[] = {
        {"WebsiteListOrder", "Website List Order"},
        {"EventTypeID", "Event Type ID"},
        {"", ""},
        {"web_Site", "web _Site"},
        {"x[y`z", "x [y `z"},
        {"Row2Name", "Row2 Name"},
    };
    for (const auto& [fieldName, caption] : rows)
        QTest::addRow("\"%s\"", fieldName) << QString(fieldName) << QString(caption);
}

void TestModule1::fieldNameToCaption()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, caption);
    QCOMPARE(FieldNameToCaption(fieldName), caption);
}

void TestModule1::centeredOffset_data()
{
    QTest::addColumn<double>("screen");
    QTest::addColumn<double>("form");
    QTest::addColumn<long long>("offset");
    QTest::newRow("even difference") << 15360.0 << 8000.0 << 3680LL;
    QTest::newRow("odd difference truncates") << 15360.0 << 8001.0 << 3679LL;
    QTest::newRow("half rounds to even, down") << 100.0 << 97.5 << 1LL;       // 2.5 -> 2 -> 1
    QTest::newRow("half rounds to even, up") << 100.0 << 96.5 << 2LL;         // 3.5 -> 4 -> 2
    QTest::newRow("larger window is negative") << 8000.0 << 9001.0 << -500LL; // -1001 / 2 toward zero
}

void TestModule1::centeredOffset()
{
    QFETCH(double, screen);
    QFETCH(double, form);
    QFETCH(long long, offset);
    QCOMPARE(CenteredOffset(screen, form), offset);
}

void TestModule1::centerFormPlacesTheWindowInTheMiddle()
{
    QWidget form;
    form.resize(200, 100);
    CenterForm(form);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QVERIFY(!screen.isEmpty());
    QCOMPARE(form.pos(), QPoint((screen.width() - 200) / 2, (screen.height() - 100) / 2));
}

void TestModule1::replaceText_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    const char* const rows[][4] = {
        {"abcABC", "b", "XY", "aXYcAXYC"}, // the search ignores case
        {"bb", "b", "Bb", "BbBb"},         // nor looks inside what it inserted
        {"xxxx", "xx", "y", "yy"},         // matches side by side
        {"a-b-c", "-", "", "abc"},         // removal
        {"abc", "", "Z", "abc"},           // nothing to find
        {"", "a", "b", ""},                // nothing to search
    };
    for (const auto& [source, find, replacement, result] : rows)
        QTest::addRow("'%s' for '%s' in '%s'", replacement, find, source)
            << QString(source) << QString(find) << QString(replacement) << QString(result);
}

void TestModule1::replaceText()
{
    QFETCH(QString, source);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(ReplaceText(source, find, replacement), result);
}

void TestModule1::fixQuotes()
{
    QCOMPARE(FixQuotes(QStringLiteral("'x''\"y\"")), QStringLiteral("''x''''\"y\""));
}

// The file is rewritten over a longer one; a new file is readable by its owner only.
void TestModule1::textFileRoundTrip()
{
    QString text;
    for (int i = 0; i < 256; ++i)
        text += QChar(i);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Password.txt"));
    QVERIFY(WriteTextFile(QStringLiteral("an older, longer content"), path));
    QVERIFY(WriteTextFile(text, path));
    QCOMPARE(ReadTextFile(path), text + QStringLiteral("\r\n"));
    QCOMPARE(QFileInfo(path).size(), text.size() + 2);
    QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

void TestModule1::textFileErrors()
{
    QTemporaryDir dir;
    const auto missing = caughtError([&] { ReadTextFile(dir.filePath(QStringLiteral("absent.txt"))); });
    QVERIFY(missing);
    QCOMPARE(missing->number(), ErrorNumber::FileNotFound);
    QVERIFY(missing->description().contains(QStringLiteral("absent.txt")));
    const auto unwritable =
        caughtError([&] { WriteTextFile(QStringLiteral("x"), dir.filePath("no/such/folder.txt")); });
    QVERIFY(unwritable);
    QCOMPARE(unwritable->number(), ErrorNumber::FileAccess);
}

// A stored Yes/No value is read as the number its text begins with, but for the words True and False.
void TestModule1::numberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("boolean");
    QTest::newRow("blanks anywhere") << " 1 2\t3\n" << 123.0 << true;
    QTest::newRow("stops at a letter") << "5 minutes" << 5.0 << true;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2 << true;
    QTest::newRow("negative") << "-1" << -1.0 << true;
    QTest::newRow("plus sign") << "+4" << 4.0 << true;
    QTest::newRow("exponent") << "1e3" << 1000.0 << true;
    QTest::newRow("D exponent") << "2D2" << 200.0 << true;
    QTest::newRow("exponent without digits") << "7e" << 7.0 << true;
    QTest::newRow("leading point") << ".5" << 0.5 << true;
    QTest::newRow("null") << "" << 0.0 << false;
    QTest::newRow("sign only") << "-" << 0.0 << false;
    QTest::newRow("carriage return is not a blank") << "\r5" << 0.0 << true; // a Yes/No text is trimmed first
    QTest::newRow("tiny") << "1e-400" << 0.0 << false;
    QTest::newRow("True") << "True" << 0.0 << true;
    QTest::newRow("false word") << "false" << 0.0 << false;
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
    QTest::addColumn<QString>("assignments");
    QTest::addColumn<QString>("expectedPassword");
    QTest::addColumn<bool>("launcher");
    QTest::addColumn<double>("relockMinutes");
    QTest::addColumn<QList<double>>("sizes"); // launcher height, width, form height, width
    const QList<double> defaults{8000, 8000, 8000, 8000};
    QTest::newRow("new data file") << QString() << QString() << false << 15.0 << defaults;
    QTest::newRow("all set") << "DefaultToLauncher = 1, LauncherHeight = 4000, LauncherWidth = 3000, "
                                "FormHeight = 9000, FormWidth = 12000, NumMinutesBeforeRequiringPasswordAgain = '7'"
                             << QString() << true << 7.0 << QList<double>{4000, 3000, 9000, 12000};
    QTest::newRow("one size null") << "FormWidth = 5000" << QString() << false << 15.0
                                   << QList<double>{8000, 8000, 8000, 5000};
    QTest::newRow("null period counts as 0")
        << "NumMinutesBeforeRequiringPasswordAgain = Null" << QString() << false << 0.0 << defaults;
    QTest::newRow("password deciphered") << "MasterPassword = '%1'"
                                         << "Open 'Sesame\"" << false << 15.0 << defaults;
}

void TestModule1::startupRead()
{
    QFETCH(QString, assignments);
    QFETCH(QString, expectedPassword);
    QFETCH(bool, launcher);
    QFETCH(double, relockMinutes);
    QFETCH(QList<double>, sizes);
    TempDataFolder folder;
    if (!assignments.isEmpty()) {
        if (assignments.contains(QStringLiteral("%1")))
            assignments = assignments.arg(FixQuotes(dsEncrypt().Encrypt2(expectedPassword)));
        folder.execute({QStringLiteral("UPDATE Setup SET %1 WHERE SetupID = 1").arg(assignments)});
    }
    gdblMinutesLeft = -99;
    gblnDefaultToLauncher = !launcher;

    const StartupSettings read = ReadStartupSettings();
    QVERIFY(read.rowFound);
    QVERIFY(gobjEncrypt);
    QCOMPARE(read.expectedMasterPassword, expectedPassword);
    QCOMPARE(gblnDefaultToLauncher, launcher);
    QCOMPARE(gdblRelockMinutes, relockMinutes);
    QCOMPARE(gdblMinutesLeft, relockMinutes);
    QCOMPARE((QList<double>{read.launcherHeight, read.launcherWidth, read.formHeight, read.formWidth}), sizes);
    QVERIFY(gobjConnection && gobjConnection->isOpen()); // left open for the next unit of work
    QVERIFY(!gobjRecordset.holdsObject());
    CloseConnection();
}

// Nothing is read: the sizes stay 0 and the shared settings keep their values.
void TestModule1::startupReadWithoutSettingsRow()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("DELETE FROM Setup")});
    gdblRelockMinutes = 0;
    gblnDefaultToLauncher = false;
    const StartupSettings read = ReadStartupSettings();
    QVERIFY(!read.rowFound);
    QVERIFY(read.expectedMasterPassword.isEmpty());
    QCOMPARE((QList<double>{read.launcherHeight, read.launcherWidth, read.formHeight, read.formWidth}),
             (QList<double>{0, 0, 0, 0}));
    QCOMPARE(gdblRelockMinutes, 0.0);
    QVERIFY(!gblnDefaultToLauncher);
    CloseConnection();
}

void TestModule1::startupReadOfAMissingDataFileFails()
{
    QTemporaryDir empty;
    Application::setPath(empty.path());
    const auto error = caughtError([] { ReadStartupSettings(); });
    QVERIFY(error);
    QVERIFY(error->description().contains(QStringLiteral("Quillock.mdb")));
    QVERIFY(!QFileInfo::exists(DataFilePath()));
    gobjConnection.reset();
    Application::setPath(QString());
}

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
