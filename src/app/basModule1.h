#pragma once

// The state that all windows share and the small routines every window uses.

#include "data/StatementText.h"
#include "platform/app/AutoNew.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <memory>

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

// Centres the window on the screen.
void CenterForm(QWidget& form);
// The position that centres a window of the given extent on a screen of the given extent, in twips:
// the difference rounded to a whole number (halves to even), then halved toward zero.
long long CenteredOffset(double screenExtent, double formExtent);

// Writes the text and a line break to the file, replacing its contents. A new file is readable by its
// owner only. Only a regular file is written: a link is not followed and a FIFO is not waited for. Raises
// AppError when the file cannot be written or is no regular file; otherwise returns true.
bool WriteTextFile(const QString& text, const QString& fileName);
// The whole contents of the file, one character per byte. Raises AppError when it cannot be read.
QString ReadTextFile(const QString& fileName);

// A field name spelled out as a caption: WebsiteListOrder becomes Website List Order.
QString FieldNameToCaption(const QString& text);
