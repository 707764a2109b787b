#pragma once

#include <QString>
#include <QTemporaryDir>
#include <sys/types.h>
#include <vector>

// A headless desktop of the test's own with the desktop portal: a private session bus, the compositor (GNOME's
// mutter or KDE's KWin) on a virtual 1280x800 monitor with its Wayland socket in a runtime folder of its own, the
// portal with that desktop's backend, and an accessibility bus through which a test answers the portal's dialogs.
// The constructor points this process's environment at the session (and at a home and runtime folder of its own)
// for the programs and windows the test starts; the destructor ends every program it started, by its process id,
// last started first.
class PortalDesktop
{
public:
    enum class Kind
    {
        Gnome,
        Kde
    };

    // The desktop a test program runs on: KDE when its arguments hold --desktop=kde, else GNOME. Takes the
    // argument out, so that the test framework does not see it.
    static Kind kindFromArguments(int& argc, char** argv);
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

    // KDE: makes the keyboard layout the one XKB calls `layout` ("de"), as the user would in the desktop's settings,
    // and waits until the compositor hands out its keymap. The layout must differ from the one in use. False when
    // the keymap did not change within a few seconds.
    bool useKeyboardLayout(const QByteArray& layout);

private:
    bool startGnome();
    bool startKde();
    bool startSessionBus();
    bool startAccessibilityBus();
    // The started program's process id; 0, with the reason in execError, when it could not be started.
    pid_t start(const std::vector<QByteArray>& arguments, int* execError = nullptr);
    bool waitForSocket();
    bool waitForName(const QString& name);
    bool fail(const QString& why);

    Kind m_kind;
    QTemporaryDir m_folder;
    QString m_log;
    std::vector<pid_t> m_started;
    QString m_error;
};
