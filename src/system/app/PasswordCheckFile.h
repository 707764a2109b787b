#pragma once

// The master-password check file, Password.txt in the program folder (its forms: domain/crypto/PasswordCheck.h).
// The utility window writes it, and rewrites one of the earlier Blowfish form in the derived-key form once its
// password is given; the utility window and the re-lock check answers against it.

#include "domain/crypto/PasswordCheck.h"

#include <QString>

QString PasswordCheckFilePath();
// The largest check file that is read: a derived-key file takes about 130 bytes, and a Blowfish one of the longest
// password that can be its key 122 bytes. A larger one is not read, and is no check file.
constexpr qint64 PasswordCheckFileMaxBytes = 4096;

// Reads and recognises the check file at the path. Raises AppError, its description naming the file and the
// cause, when it cannot be used: missing (FileNotFound), a link, a folder, a FIFO or a device, unreadable, larger
// than PasswordCheckFileMaxBytes, empty, too short or damaged.
PasswordCheck ReadPasswordCheckFile(const QString& path);

// Writes a new check file of the password in the derived-key form, readable by its owner only. Only a new file
// is written: raises AppError, with nothing written, when anything already stands at the path, and when the file
// cannot be written.
void WritePasswordCheckFile(const QString& path, const QString& password);

// Replaces the check file at the path with a new one of the password in the derived-key form, at once: a new file
// is written beside it and renamed over it, readable by its owner only. Raises AppError when it cannot, the old
// file left as it was.
void RewritePasswordCheckFile(const QString& path, const QString& password);
