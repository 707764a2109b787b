#include "system/app/basModule1.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/error/AppError.h"
#include "os/keys/KeySender.h"
#include "os/shell/Shell.h"
#include "platform/app/Application.h"
#include "platform/app/RegularFile.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

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
    QFile file;
    openRegularFileForWriting(file, fileName, mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = text.toLatin1() + QByteArrayLiteral("\r\n");
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        // A file this call made is not left half-written: a check file cut short would refuse every answer.
        if (mode == FileWrite::CreateOnly) {
            file.close();
            QFile::remove(fileName);
        }
        throw AppError(ErrorNumber::FileAccess, QStringLiteral("The file '%1' could not be written completely: %2")
                                                    .arg(QDir::toNativeSeparators(fileName), reason));
    }
    return true;
}

namespace {

// An open file descriptor, closed when it goes.
class OpenFile
{
public:
    explicit OpenFile(int descriptor) : m_descriptor(descriptor) {}
    ~OpenFile() { ::close(m_descriptor); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

private:
    int m_descriptor;
};

[[noreturn]] void raiseUnreadable(const QString& fileName, const QString& reason)
{
    throw AppError(ErrorNumber::FileAccess,
                   QStringLiteral("The file '%1' cannot be read: %2").arg(QDir::toNativeSeparators(fileName), reason));
}

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

} // namespace

std::optional<QString> ReadTextFileUpTo(const QString& fileName, qint64 maxBytes)
{
    // O_NONBLOCK keeps a FIFO or a device from holding the open; nothing but a regular file is read.
    const int descriptor =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        const int number = errno;
        if (number == ENOENT)
            throw AppError(ErrorNumber::FileNotFound,
                           QStringLiteral("File not found: '%1'.").arg(QDir::toNativeSeparators(fileName)));
        raiseUnreadable(fileName, number == ELOOP ? QStringLiteral("it is a link.") : systemError(number));
    }
    const OpenFile file(descriptor);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0)
        raiseUnreadable(fileName, systemError(errno));
    if (!S_ISREG(status.st_mode))
        raiseUnreadable(fileName, QStringLiteral("it is not a regular file."));
    if (status.st_size > maxBytes)
        return std::nullopt;
    // The file may grow while it is read: one byte past the limit tells.
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            raiseUnreadable(fileName, systemError(errno));
        if (count == 0)
            break;
        bytes.append(buffer, count);
        if (bytes.size() > maxBytes)
            return std::nullopt;
    }
    return QString::fromLatin1(bytes);
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
