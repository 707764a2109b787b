#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// A headless desktop of the test's own with the desktop portal: a private session bus, the compositor (GNOME's
// mutter or KDE's KWin) on a virtual 1280x800 monitor with its Wayland socket in a runtime folder of its own, the
// portal with that desktop's backend, and an accessibility bus through which a test answers the portal's dialogs.
// The constructor points this process's environment at the session (and at a home and runtime folder of its own)
// for the programs and windows the test starts; the destructor ends every program it started, last started first.
class PortalDesktop
{
public:
    enum class Kind
    {
        Gnome,
        Kde
    };

    // The desktop a test program runs on: KDE when QUILLOCK_PORTAL_DESKTOP is KDE, else GNOME.
    static Kind kindOfThisTest() { return qgetenv("QUILLOCK_PORTAL_DESKTOP") == "KDE" ? Kind::Kde : Kind::Gnome; }
    // The programs the desktop needs that are not installed, named with their packages; empty when all are.
    static QString missingPrograms(Kind kind);

    explicit PortalDesktop(Kind kind);
    ~PortalDesktop();
    PortalDesktop(const PortalDesktop&) = delete;
    PortalDesktop& operator=(const PortalDesktop&) = delete;

    Kind kind() const { return m_kind; }
    bool isRunning() const { return m_error.isEmpty(); }
    // Why the desktop did not start, with the programs' output.
    QString error() const { return m_error; }

    // Puts this process where the desktop's menu puts a program it starts (true): in a cgroup named as a systemd scope
    // of Quillock's application, app-example.quillock.Quillock-<pid>.scope under the user's service manager, from
    // which the portal reads its callers' application ID. Or back where it was (false), as a start from a terminal.
    // False when it could not (making cgroups needs root). The scope goes with the desktop.
    bool startAsFromTheMenu(bool fromTheMenu);

    // KDE: makes the keyboard layout the one XKB calls `layout` ("de"), as the user would in the desktop's settings.
    // The compositor hands out its keymap soon after. False when it could not be told.
    bool useKeyboardLayout(const QByteArray& layout);

private:
    bool startGnome();
    bool startKde();
    bool startSessionBus();
    // Starts a program of the session, its output into the session's log unless the caller reads it.
    QProcess& start(const QString& program, const QStringList& arguments = {}, bool readOutput = false);
    bool waitForSocket();
    bool waitForName(const QString& name);
    bool fail(const QString& why);

    Kind m_kind;
    QString m_cgroups; // the cgroup v2 hierarchy; this process's group there, and its application scope
    QString m_formerGroup;
    QString m_applicationScope;
    QTemporaryDir m_folder;
    QString m_log;
    std::vector<std::unique_ptr<QProcess>> m_started;
    QString m_error;
};
