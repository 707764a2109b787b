#pragma once

#include "os/files/RegularFile.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

// The program's side of Files (os/files/RegularFile.h): Qt's file names, and every failure raised as AppError
// (ErrorNumber::FileAccess unless said otherwise) with the file's name in the platform's separators.

using Files::FileWrite;
using Files::NewFileAccess;

// The name in the encoding the file system takes: the locale's on Linux, UTF-8 for Windows' wide names.
std::string nativeFileName(const QString& fileName);

// The open file, as Files::RegularFile::openForWriting gives it. Raises AppError "The file '...' cannot be written:
// <reason>"; a link, FIFO or device is "it is not a regular file.".
Files::RegularFile openRegularFileForWriting(const QString& fileName, FileWrite mode, NewFileAccess access);

// The whole of the file; nothing, with nothing kept, when it holds more than maxBytes bytes. Raises AppError
// FileNotFound "File not found: '...'." when it is missing, otherwise "The file '...' cannot be read: <reason>" (a
// link is "it is a link.", a folder, FIFO or device "it is not a regular file.").
std::optional<QByteArray> readRegularFile(const QString& fileName, qint64 maxBytes);

// Writes the bytes as the whole of the file, as Files::writeRegularFile does. Raises AppError as
// openRegularFileForWriting does, or "The file '...' could not be written completely: <reason>" when the writing
// stops part-way.
void writeRegularFile(const QString& fileName, const QByteArray& bytes, FileWrite mode, NewFileAccess access);

// Replaces the whole of the file at once, as Files::replaceRegularFile does: the path names the old file or the
// new one, never a part. Raises AppError "The file '...' cannot be written: <reason>", the old file left as it was.
void replaceRegularFile(const QString& fileName, const QByteArray& bytes, NewFileAccess access);
