// The shared routines: captions from field names, centring, text files, statement text helpers, the
// number a text begins with, and the start-up read of the settings row.

#include "app/StartupSettings.h"
#include "app/basModule1.h"
#include "crypto/dsEncrypt.h"
#include "data/NumberText.h"
#include "platform/app/Application.h"
#include "platform/error/AppError.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "support/TempDataFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

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
    void fixQuotes_data();
    void fixQuotes();
    void textFileRoundTrip_data();
    void textFileRoundTrip();
    void textFileErrors();
    void numberTextBeginsWith_data();
    void numberTextBeginsWith();
    void booleanFromText_data();
    void booleanFromText();
    void startupRead_data();
    void startupRead();
    void startupReadWithoutSettingsRow();
    void startupReadOfAMissingDataFileFails();
};

void TestModule1::fieldNameToCaption_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("caption");
    QTest::newRow("three words") << "WebsiteListOrder"
                                 << "Website List Order";
    QTest::newRow("trailing capitals stay together") << "EventTypeID"
                                                     << "Event Type ID";
    QTest::newRow("of") << "NumberOfTimes"
                        << "Number Of Times";
    QTest::newRow("single letter") << "a"
                                   << "a";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("two capitals") << "ID"
                                  << "ID";
    // The underscore counts as a capital: it starts a word after a small letter, and the S after it does not.
    QTest::newRow("underscore counts as a capital") << "web_Site"
                                                    << "web _Site";
    QTest::newRow("capital after underscore") << "a_B"
                                              << "a _B";
    QTest::newRow("backquote and brackets are capitals") << "x[y`z"
                                                         << "x [y `z";
    QTest::newRow("leading capital gets no blank") << "Website"
                                                   << "Website";
    QTest::newRow("digits are not capitals") << "Row2Name"
                                             << "Row2 Name";
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
    QTest::newRow("same size") << 15360.0 << 15360.0 << 0LL;
    QTest::newRow("one twip narrower: half a twip truncated") << 15360.0 << 15359.0 << 0LL;
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
    const QPoint expected(
        Twips::toPixels(static_cast<double>(CenteredOffset(Screen::width(), Twips::fromPixels(200)))),
        Twips::toPixels(static_cast<double>(CenteredOffset(Screen::height(), Twips::fromPixels(100)))));
    QVERIFY(Screen::width() > 0);
    QCOMPARE(form.pos(), expected);
    QCOMPARE(form.pos().x(), static_cast<int>(Screen::width() / Twips::PerPixel - 200) / 2);
}

void TestModule1::replaceText_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::newRow("ignores case") << "abcABC"
                                  << "b"
                                  << "XY"
                                  << "aXYcAXYC";
    QTest::newRow("not found") << "abc"
                               << "z"
                               << "Q"
                               << "abc";
    QTest::newRow("replacement holds the text found") << "aXa"
                                                      << "a"
                                                      << "aa"
                                                      << "aaXaa";
    QTest::newRow("replacement contains it in other case") << "bb"
                                                           << "b"
                                                           << "Bb"
                                                           << "BbBb";
    QTest::newRow("shrinking") << "xxxx"
                               << "xx"
                               << "y"
                               << "yy";
    QTest::newRow("removal") << "a-b-c"
                             << "-"
                             << ""
                             << "abc";
    QTest::newRow("empty find leaves the text") << "abc"
                                                << ""
                                                << "Z"
                                                << "abc";
    QTest::newRow("empty source") << ""
                                  << "a"
                                  << "b"
                                  << "";
}

void TestModule1::replaceText()
{
    QFETCH(QString, source);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    QCOMPARE(ReplaceText(source, find, replacement), result);
}

void TestModule1::fixQuotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fixed");
    QTest::newRow("name") << "O'Brien"
                          << "O''Brien";
    QTest::newRow("three in a row") << "'''"
                                    << "''''''";
    QTest::newRow("none") << "plain \"double\""
                          << "plain \"double\"";
    QTest::newRow("at both ends") << "'x'"
                                  << "''x''";
}

void TestModule1::fixQuotes()
{
    QFETCH(QString, text);
    QFETCH(QString, fixed);
    QCOMPARE(FixQuotes(text), fixed);
}

void TestModule1::textFileRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "hello";
    QTest::newRow("empty") << "";
    QTest::newRow("line breaks inside") << "a\r\nb\nc\r";
    QString allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += QChar(i);
    QTest::newRow("every byte value") << allBytes;
}

void TestModule1::textFileRoundTrip()
{
    QFETCH(QString, text);
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
    try {
        ReadTextFile(dir.filePath(QStringLiteral("absent.txt")));
        QFAIL("a missing file was read");
    } catch (const AppError& error) {
        QCOMPARE(error.number(), ErrorNumber::FileNotFound);
        QVERIFY(error.description().contains(QStringLiteral("absent.txt")));
    }
    try {
        WriteTextFile(QStringLiteral("x"), dir.filePath(QStringLiteral("no/such/folder.txt")));
        QFAIL("a file was written into a missing folder");
    } catch (const AppError& error) {
        QCOMPARE(error.number(), ErrorNumber::FileAccess);
    }
}

void TestModule1::numberTextBeginsWith_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("whole") << "15" << 15.0;
    QTest::newRow("blanks anywhere") << " 1 2\t3\n" << 123.0;
    QTest::newRow("stops at a letter") << "5 minutes" << 5.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("D exponent") << "2D2" << 200.0;
    QTest::newRow("exponent without digits") << "7e" << 7.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("carriage return is not a blank") << "\r5" << 0.0;
    QTest::newRow("tiny") << "1e-400" << 0.0;
}

void TestModule1::numberTextBeginsWith()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(NumberTextBeginsWith(text), number);
}

void TestModule1::booleanFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("value");
    QTest::newRow("one") << "1" << true;
    QTest::newRow("minus one") << "-1" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("null") << "" << false;
    QTest::newRow("True") << "True" << true;
    QTest::newRow("false word") << "false" << false;
}

void TestModule1::booleanFromText()
{
    QFETCH(QString, text);
    QFETCH(bool, value);
    QCOMPARE(BooleanFromText(text), value);
}

void TestModule1::startupRead_data()
{
    QTest::addColumn<QString>("assignments");
    QTest::addColumn<QString>("expectedPassword");
    QTest::addColumn<bool>("launcher");
    QTest::addColumn<double>("relockMinutes");
    QTest::addColumn<QList<double>>("sizes"); // launcher height, width, form height, width
    const QList<double> defaults{8000, 8000, 8000, 8000};
    QTest::newRow("new data file") << ""
                                   << "" << false << 15.0 << defaults;
    QTest::newRow("all set") << "DefaultToLauncher = 1, LauncherHeight = 4000, LauncherWidth = 3000, "
                                "FormHeight = 9000, FormWidth = 12000"
                             << "" << true << 15.0 << QList<double>{4000, 3000, 9000, 12000};
    QTest::newRow("one size null") << "FormWidth = 5000"
                                   << "" << false << 15.0 << QList<double>{8000, 8000, 8000, 5000};
    QTest::newRow("quoted period") << "NumMinutesBeforeRequiringPasswordAgain = '7'"
                                   << "" << false << 7.0 << defaults;
    QTest::newRow("null period counts as 0") << "NumMinutesBeforeRequiringPasswordAgain = Null"
                                             << "" << false << 0.0 << defaults;
    QTest::newRow("non-numeric period counts as 0") << "NumMinutesBeforeRequiringPasswordAgain = 'soon'"
                                                    << "" << false << 0.0 << defaults;
    QTest::newRow("password deciphered") << "MasterPassword = '%1'"
                                         << "Open 'Sesame\"" << false << 15.0 << defaults;
    QTest::newRow("empty password text asks nothing") << "MasterPassword = ''"
                                                      << "" << false << 15.0 << defaults;
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

void TestModule1::startupReadWithoutSettingsRow()
{
    TempDataFolder folder;
    folder.execute({QStringLiteral("DELETE FROM Setup")});
    gdblRelockMinutes = 0;
    gdblMinutesLeft = 0;
    gblnDefaultToLauncher = false;
    const StartupSettings read = ReadStartupSettings();
    QVERIFY(!read.rowFound);
    QVERIFY(read.expectedMasterPassword.isEmpty());
    QCOMPARE(read.formWidth, 0.0);
    QCOMPARE(read.launcherHeight, 0.0);
    QCOMPARE(gdblRelockMinutes, 0.0);
    QVERIFY(!gblnDefaultToLauncher);
    CloseConnection();
}

void TestModule1::startupReadOfAMissingDataFileFails()
{
    QTemporaryDir empty;
    Application::setPath(empty.path());
    try {
        ReadStartupSettings();
        QFAIL("start-up read a data file that does not exist");
    } catch (const AppError& error) {
        QVERIFY(error.description().contains(QStringLiteral("Quillock.mdb")));
    }
    QVERIFY(!QFileInfo::exists(DataFilePath()));
    gobjConnection.reset();
    Application::setPath(QString());
}

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
