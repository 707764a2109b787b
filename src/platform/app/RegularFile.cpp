#include "platform/app/RegularFile.h"

#include "domain/error/AppError.h"

#include <QDir>
#include <QFile>
#include <algorithm>

std::string nativeFileName(const QString& fileName)
{
#ifdef Q_OS_WIN
    return fileName.toStdString();
#else
    return QFile::encodeName(fileName).toStdString();
#endif
}

namespace {

QString shownName(const QString& fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString reasonOf(const Files::FileError& error)
{
    return QString::fromLocal8Bit(error.what());
}

[[noreturn]] void raiseUnwritable(const QString& fileName, const Files::FileError& error)
{
    const QString message = error.kind() == Files::FileError::Kind::Incomplete
                                ? QStringLiteral("The file '%1' could not be written completely: %2")
                                : QStringLiteral("The file '%1' cannot be written: %2");
    throw AppError(ErrorNumber::FileAccess, message.arg(shownName(fileName), reasonOf(error)));
}

} // namespace

Files::RegularFile openRegularFileForWriting(const QString& fileName, FileWrite mode, NewFileAccess access)
{
    try {
        return Files::RegularFile::openForWriting(nativeFileName(fileName), mode, access);
    } catch (const Files::FileError& error) {
        raiseUnwritable(fileName, error);
    }
}

std::optional<QByteArray> readRegularFile(const QString& fileName, qint64 maxBytes)
{
    std::optional<std::string> bytes;
    try {
        bytes =
            Files::readRegularFile(nativeFileName(fileName), static_cast<std::uint64_t>(std::max<qint64>(maxBytes, 0)));
    } catch (const Files::FileError& error) {
        if (error.kind() == Files::FileError::Kind::Missing)
            throw AppError(ErrorNumber::FileNotFound, QStringLiteral("File not found: '%1'.").arg(shownName(fileName)));
        throw AppError(ErrorNumber::FileAccess,
                       QStringLiteral("The file '%1' cannot be read: %2").arg(shownName(fileName), reasonOf(error)));
    }
    if (!bytes)
        return std::nullopt;
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

void writeRegularFile(const QString& fileName, const QByteArray& bytes, FileWrite mode, NewFileAccess access)
{
    try {
        Files::writeRegularFile(nativeFileName(fileName), std::string_view(bytes.constData(), bytes.size()), mode,
                                access);
    } catch (const Files::FileError& error) {
        raiseUnwritable(fileName, error);
    }
}

void replaceRegularFile(const QString& fileName, const QByteArray& bytes, NewFileAccess access)
{
    try {
        Files::replaceRegularFile(nativeFileName(fileName), std::string_view(bytes.constData(), bytes.size()), access);
    } catch (const Files::FileError& error) {
        raiseUnwritable(fileName, error);
    }
}
