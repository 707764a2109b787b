#pragma once

// The master-password check file, Password.txt in the program folder: the master password and a line break,
// enciphered with the Blowfish text mode under the password itself, followed by the writer's line break. The
// utility window writes it; the utility window and the re-lock check answers against it.

#include <QString>
#include <optional>

QString PasswordCheckFilePath();
// The largest check file that is read. The file of the longest password that can be a key takes 122 bytes;
// a larger one is not read, and no answer opens it.
constexpr qint64 PasswordCheckFileMaxBytes = 4096;

// The enciphered part of the check file: the whole file without the line break its writer added;
// std::nullopt for a file too large to be one. Raises AppError when the file cannot be read: missing, a
// link, no regular file.
std::optional<QString> ReadPasswordCheckFile(const QString& path);

// True when the enciphered part, deciphered with the answer as key, begins with the answer itself as its
// first line. A text that cannot be deciphered with this answer (shorter than a block, or an answer too long
// to be a key) opens with no answer.
bool AnswerOpensCheckFile(const QString& cipherText, const QString& answer);

// The same for the file at the path. A file that cannot be read (missing, a link, no regular file), that is
// too large or cannot be deciphered opens with no answer.
bool CheckFileOpensWith(const QString& path, const QString& answer);

// Writes a new check file of the password, readable by its owner only. Raises AppError, with nothing
// written, when the password cannot be a key (over 112 characters, or a character beyond Latin-1), when
// anything already stands at the path, and when the file cannot be written.
void WritePasswordCheckFile(const QString& path, const QString& password);
