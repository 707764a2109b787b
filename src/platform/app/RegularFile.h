#pragma once

#include <QFileDevice>

class QFile;

enum class FileWrite
{
    Replace,   // an existing regular file is emptied and written
    CreateOnly // only a new file is written: one that exists, even one made a moment ago, is an error
};

// Opens the file for writing, made when missing (with the given permissions, less the umask), emptied only once
// it is known to be a regular file: a link is not followed, and a FIFO or device neither blocks nor is written.
// Raises AppError "The file '...' cannot be written: <reason>" otherwise; a link, FIFO or device is "it is not a
// regular file.".
void openRegularFileForWriting(QFile& file, const QString& fileName, FileWrite mode,
                               QFileDevice::Permissions newFilePermissions);
