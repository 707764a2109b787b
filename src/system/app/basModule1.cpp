#include "system/app/basModule1.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/error/AppError.h"
#include "os/keys/KeySender.h"
#include "os/shell/Shell.h"
#include "platform/app/Application.h"
#include "platform/app/RegularFile.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/StoredTexts.h"

#include <QWidget>
#include <cmath>
#include <limits>

std::unique_ptr<Connection> gobjConnection;
AutoNew<Recordset> gobjRecordset;
std::unique_ptr<dsEncrypt> gobjEncrypt;
QString gstrPassword;
double gdblRelockMinutes = 0;
double gdblMinutesLeft = 0;
bool gblnDefaultToLauncher = false;
bool gblnNewRecord = false;
bool gblnWaitElapsed = false;
bool gblnTrapErrors = false;
double gdblGridLeftCol = 0;

QString DataFilePath()
{
    return Application::fileInProgramFolder(QStringLiteral("Quillock.mdb"));
}

QString DataConnectionString()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + DataFilePath();
}

void OpenConnection()
{
    gobjConnection = std::make_unique<Connection>();
    gobjConnection->setConnectionString(DataConnectionString());
    gobjConnection->setCursorLocation(Connection::adUseClient);
    gobjConnection->open(QString(), QString(), Connection::adOptionUnspecified);
}

void CloseConnection()
{
    if (!gobjConnection)
        throw AppError(ErrorNumber::ObjectNotSet, QStringLiteral("There is no open connection to close."));
    gobjConnection->close();
    gobjConnection.reset();
}

void ReleaseSharedObjects()
{
    gobjRecordset.release(); // before the connection its query runs on
    gobjConnection.reset();  // closes an open one
    gobjEncrypt.reset();
    useFieldCipher(); // drops (wipes) a protected file's data key
    Keys::releasePlatformKeySender();
    Desktop::releasePlatformShell();
}

long long CenteredOffsetTwips(double screenExtentTwips, double formExtentTwips)
{
    // nearbyint rounds halves to even in the default rounding mode; integer division truncates toward zero.
    return static_cast<long long>(std::nearbyint(screenExtentTwips - formExtentTwips)) / 2;
}

void CenterForm(QWidget& form)
{
    const QRect frame = form.frameGeometry();
    const long long topTwips = CenteredOffsetTwips(Screen::heightTwips(), Twips::fromPixels(frame.height()));
    const long long leftTwips = CenteredOffsetTwips(Screen::widthTwips(), Twips::fromPixels(frame.width()));
    form.move(Twips::toPixels(static_cast<double>(leftTwips)), Twips::toPixels(static_cast<double>(topTwips)));
}

bool WriteTextFile(const QString& text, const QString& fileName, FileWrite mode)
{
    writeRegularFile(fileName, text.toLatin1() + QByteArrayLiteral("\r\n"), mode, NewFileAccess::OwnerOnly);
    return true;
}

std::optional<QString> ReadTextFileUpTo(const QString& fileName, qint64 maxBytes)
{
    const std::optional<QByteArray> bytes = readRegularFile(fileName, maxBytes);
    if (!bytes)
        return std::nullopt;
    return QString::fromLatin1(*bytes);
}

QString ReadTextFile(const QString& fileName)
{
    std::optional<QString> text = ReadTextFileUpTo(fileName, std::numeric_limits<qint64>::max());
    return std::move(text).value();
}

namespace {

// Capital letters and the six characters after Z: [ \ ] ^ _ `
bool startsWord(QChar c)
{
    return c.unicode() >= 65 && c.unicode() <= 96;
}

} // namespace

QString FieldNameToCaption(const QString& text)
{
    QString caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && startsWord(text.at(i)) && !startsWord(text.at(i - 1)))
            caption += QLatin1Char(' ');
        caption += text.at(i);
    }
    Screen::setMousePointer(Screen::vbDefault);
    return caption;
}
