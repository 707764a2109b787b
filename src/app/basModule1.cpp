#include "app/basModule1.h"

#include "crypto/dsEncrypt.h"
#include "platform/app/Application.h"
#include "platform/error/AppError.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <cerrno>
#include <cmath>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

long long CenteredOffset(double screenExtent, double formExtent)
{
    // nearbyint rounds halves to even in the default rounding mode; integer division truncates toward zero.
    return static_cast<long long>(std::nearbyint(screenExtent - formExtent)) / 2;
}

void CenterForm(QWidget& form)
{
    const QRect frame = form.frameGeometry();
    const long long top = CenteredOffset(Screen::height(), Twips::fromPixels(frame.height()));
    const long long left = CenteredOffset(Screen::width(), Twips::fromPixels(frame.width()));
    form.move(Twips::toPixels(static_cast<double>(left)), Twips::toPixels(static_cast<double>(top)));
}

namespace {

[[noreturn]] void cannotWrite(const QString& fileName, const QString& reason)
{
    throw AppError(
        ErrorNumber::FileAccess,
        QStringLiteral("The file '%1' cannot be written: %2").arg(QDir::toNativeSeparators(fileName), reason));
}

// Opens the file for writing, made if missing and readable by its owner only then, emptied only once it is
// known to be a regular file: a link is not followed, and a FIFO or device neither blocks nor is written.
void openRegularFileForWriting(QFile& file, const QString& fileName)
{
#ifdef Q_OS_WIN
    const QFileInfo info(fileName);
    if (info.isSymLink() || info.isJunction() || (info.exists() && !info.isFile()))
        cannotWrite(fileName, QStringLiteral("it is not a regular file."));
    const bool isNew = !info.exists();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotWrite(fileName, file.errorString());
    if (isNew)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#else
    const int descriptor = ::open(QFile::encodeName(fileName).constData(),
                                  O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (descriptor < 0)
        cannotWrite(fileName, qt_error_string(errno));
    struct stat status = {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        cannotWrite(fileName, QStringLiteral("it is not a regular file."));
    }
    if (ftruncate(descriptor, 0) != 0) {
        const QString reason = qt_error_string(errno);
        ::close(descriptor);
        cannotWrite(fileName, reason);
    }
    if (!file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        cannotWrite(fileName, file.errorString());
    }
#endif
}

} // namespace

bool WriteTextFile(const QString& text, const QString& fileName)
{
    QFile file;
    openRegularFileForWriting(file, fileName);
    const QByteArray bytes = text.toLatin1() + QByteArrayLiteral("\r\n");
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw AppError(ErrorNumber::FileAccess, QStringLiteral("The file '%1' could not be written completely: %2")
                                                    .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return true;
}

QString ReadTextFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        throw AppError(ErrorNumber::FileNotFound,
                       QStringLiteral("File not found: '%1'.").arg(QDir::toNativeSeparators(fileName)));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(ErrorNumber::FileAccess, QStringLiteral("The file '%1' cannot be read: %2")
                                                    .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return QString::fromLatin1(file.readAll());
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
