#pragma once

#include <QString>
#include <QTemporaryDir>
#include <sys/types.h>
#include <vector>

// A headless GNOME desktop of the test's own: a private session bus, mutter on a virtual 1280x800 monitor with its
// Wayland socket in a runtime folder of its own, the desktop portal with its GNOME backend, and an accessibility bus
// through which a test answers the portal's dialogs. The constructor points this process's environment at the
// session (and at a home and runtime folder of its own) for the programs and windows the test starts; the destructor
// ends every program it started, by its process id, last started first.
class MutterSession
{
public:
    // The programs the session needs that are not installed, named with their packages; empty when all are.
    static QString missingPrograms();

    MutterSession();
    ~MutterSession();
    MutterSession(const MutterSession&) = delete;
    MutterSession& operator=(const MutterSession&) = delete;

    bool isRunning() const { return m_error.isEmpty(); }
    // Why the session did not start, with the programs' output.
    QString error() const { return m_error; }

private:
    bool startBus(const QString& configName, QString& address);
    pid_t start(const std::vector<QByteArray>& arguments);
    bool waitForName(const QString& name);
    bool fail(const QString& why);

    QTemporaryDir m_folder;
    QString m_log;
    std::vector<pid_t> m_started;
    QString m_error;
};
