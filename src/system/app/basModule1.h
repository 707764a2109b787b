#pragma once

// The state that all windows share and the small routines every window uses.

#include "domain/data/StatementText.h"
#include "platform/app/AutoNew.h"
#include "platform/app/RegularFile.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <memory>
#include <optional>

class QWidget;
class dsEncrypt;

// The shared connection; a new one for every unit of database work.
extern std::unique_ptr<Connection> gobjConnection;
// The shared recordset through which all queries are read; a fresh one after each release.
extern AutoNew<Recordset> gobjRecordset;
// The shared field cipher.
extern std::unique_ptr<dsEncrypt> gobjEncrypt;
// The answer last typed at a password prompt.
extern QString gstrPassword;
// The re-lock period and the minutes left until the password is asked again.
extern double gdblRelockMinutes;
extern double gdblMinutesLeft;
extern bool gblnDefaultToLauncher;
// True when an editor is opened to add a record, false when it is opened on an existing one.
extern bool gblnNewRecord;
extern bool gblnWaitElapsed;
// The error-trap switch; nothing sets it, so failures reach the handler that started the work.
extern bool gblnTrapErrors;
extern double gdblGridLeftCol;

// The data file, Quillock.mdb in the program folder, and the connection string that names it.
QString DataFilePath();
QString DataConnectionString();

// Replaces the shared connection by a new one opened on the data file (an open one is closed).
void OpenConnection();
// Closes the shared connection and releases it; raises AppError when there is none or it is closed.
void CloseConnection();

// Releases the shared connection (closing it), recordset and field cipher, and the platform's key sender and
// shell; the next use of each makes a new one.
void ReleaseSharedObjects();
// Made in main() after the application object, it calls ReleaseSharedObjects when it goes: none of those
// objects then outlives main(), where the exit handlers would end them after Qt's own global state is gone.
class SharedObjectsScope
{
public:
    SharedObjectsScope() = default;
    ~SharedObjectsScope() { ReleaseSharedObjects(); }
    SharedObjectsScope(const SharedObjectsScope&) = delete;
    SharedObjectsScope& operator=(const SharedObjectsScope&) = delete;
};

// Centres the window on the screen.
void CenterForm(QWidget& form);
// The position that centres a window of the given extent on a screen of the given extent, in twips:
// the difference rounded to a whole number (halves to even), then halved toward zero.
long long CenteredOffsetTwips(double screenExtentTwips, double formExtentTwips);

// Writes the text and a line break to the file, replacing its contents. A new file is readable by its
// owner only; one that had to be new (FileWrite::CreateOnly) and cannot be written whole is removed again. Only a
// regular file is written: a link is not followed and a FIFO is not waited for. Raises AppError when the file cannot be
// written or is no regular file; otherwise returns true.
bool WriteTextFile(const QString& text, const QString& fileName, FileWrite mode = FileWrite::Replace);
// The whole contents of the file, one character per byte. The file is opened without following a link and
// without waiting, and only a regular file is read: raises AppError when it is missing, is a link, a folder,
// a FIFO or a device, or cannot be read.
QString ReadTextFile(const QString& fileName);
// The same for a file that has no reason to be large: std::nullopt, with nothing kept, when it holds more
// than maxBytes bytes.
std::optional<QString> ReadTextFileUpTo(const QString& fileName, qint64 maxBytes);

// A field name spelled out as a caption: WebsiteListOrder becomes Website List Order.
QString FieldNameToCaption(const QString& text);
