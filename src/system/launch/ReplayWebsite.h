#pragma once

#include <QString>

class QTimer;
class QWidget;
class UnitOfWork;

// The website's pause between keys as stored, in milliseconds: "0" in a file of an older version that could not be
// brought up to date (read-only), which keeps none.
QString StoredKeyPause(UnitOfWork& work, const QString& websiteId);

// The body of the main window's LaunchWebsite: opens the website's link in the browser and replays its
// instructions, in the order of their keys, as keystrokes into the window that has the focus.
//
// tmrWait is the main window's wait timer, whose tick must call tmrWait_Timer(tmrWait); websiteIdText
// and link are the grid's current row, columns 0 and 2; owner is the main window.
//
// A launch counts as activity for the re-lock countdown, and shows the hourglass until it ends. The
// instructions are read at the start into the replay's own snapshot, so commands run while it waits
// cannot change what it types. The whole website is checked first (LaunchChecks.h): a website without a link,
// with a step of an unknown type, a count beyond its limit or a text the desktop's keyboard cannot type is refused
// with a message, and nothing opens. Then the desktop is asked for what typing needs (LaunchKeysPreparation.h: a
// consent dialog on some desktops) before the page opens. When
// the page cannot be opened (OpenWebPage says so), nothing is typed. A launch started while another one runs
// stops that one; closing, Exit, the re-lock and Escape stop it too (LaunchControl.h), and so does a key that
// would reach one of the program's own windows, with a message that says after which step. It does nothing
// when the id is not a website key (no row selected). Raises AppError when the data file cannot be read or keys
// cannot be sent; the pointer is back to the default and the data file closed by then.
void ReplayWebsite(QTimer& tmrWait, const QString& websiteIdText, const QString& link, QWidget* owner);
