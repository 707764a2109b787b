#pragma once

#include "os/files/FileLock.h"

#include <QString>
#include <optional>

// The lock beside the data file (Quillock.mdb.lock) that keeps the re-enciphering pass from changing the websites
// under a main window that shows them: every main window on the data file shares the lock while it runs, and the
// pass runs only while it holds the lock alone. The system drops a program's lock when the program ends, however it
// ends, so a crash never locks anyone out.
class DataFileLock
{
public:
    // The main window's share, taken at its start. A pass running now is waited for a few seconds; raises AppError
    // when it still runs then. A lock file that cannot be used (a link standing in its place, a folder where no file
    // can be made) gives a share of nothing: the pass needs that same file, so it cannot run either.
    static DataFileLock share();
    // The pass's lock, held alone. Raises AppError, saying why, when a main window runs on the data file or the lock
    // file cannot be used.
    static DataFileLock holdAlone();
    // The data file's path with ".lock" after it.
    static QString path();

    // False for a share of nothing.
    bool holds() const { return m_lock.has_value(); }

private:
    explicit DataFileLock(std::optional<Files::FileLock> lock) : m_lock(std::move(lock)) {}

    std::optional<Files::FileLock> m_lock;
};
