#include "support/PortalDesktop.h"

#include "os/keys/WaylandKeyboardLayout.h"
#include "os/wayland/WaylandConnection.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

constexpr int StartMs = 30000;
const char* const WaylandSocket = "quillock-desktop";
// KWin lets only the programs that its desktop files name use its fake input, by their path: the portal's backend
// runs from where it is installed.
const char* const KdePortalBackend = "/usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde";
const char* const KWin = "/usr/bin/kwin_wayland";

// A bus that only the session's programs use: nothing is started on demand, so that every program of the session
// is one the test started.
const char* const BusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

struct Program
{
    const char* path;
    const char* package;
};
const Program Common[] = {
    {"/usr/bin/dbus-daemon", "dbus-daemon"},
    {"/usr/libexec/xdg-desktop-portal", "xdg-desktop-portal"},
    {"/usr/libexec/at-spi-bus-launcher", "at-spi2-core"},
    {"/usr/libexec/at-spi2-registryd", "at-spi2-core"},
};
const Program Gnome[] = {
    {"/usr/bin/mutter", "mutter"},
    {"/usr/libexec/xdg-desktop-portal-gnome", "xdg-desktop-portal-gnome"},
};
// The portal's dialog is written in QML with Plasma's dialog type, and the Qt 5 programs need Qt's Wayland platform,
// which nothing installs with them.
const Program Kde[] = {
    {KWin, "kwin-wayland"},
    {KdePortalBackend, "xdg-desktop-portal-kde"},
    {"/usr/lib/x86_64-linux-gnu/qt5/plugins/platforms/libqwayland-generic.so", "qtwayland5"},
    {"/usr/lib/x86_64-linux-gnu/qt5/qml/org/kde/plasma/workspace/dialogs/qmldir", "plasma-workspace"},
};

// The keyboard layout of KWin's settings file.
bool writeKeyboardLayout(const QString& home, const QByteArray& layout)
{
    QFile settings(QDir(home).filePath(QStringLiteral(".config/kxkbrc")));
    return QDir().mkpath(QFileInfo(settings).path()) && settings.open(QIODevice::WriteOnly) &&
           settings.write("[Layout]\nUse=true\nLayoutList=" + layout + "\n") > 0 && settings.flush();
}

} // namespace

PortalDesktop::Kind PortalDesktop::kindFromArguments(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--desktop=kde") == 0) {
            std::copy(argv + i + 1, argv + argc + 1, argv + i); // with the closing null
            --argc;
            return Kind::Kde;
        }
    }
    return Kind::Gnome;
}

QString PortalDesktop::missingPrograms(Kind kind)
{
    std::vector<Program> programs(std::begin(Common), std::end(Common));
    if (kind == Kind::Gnome)
        programs.insert(programs.end(), std::begin(Gnome), std::end(Gnome));
    else
        programs.insert(programs.end(), std::begin(Kde), std::end(Kde));
    QStringList missing;
    for (const Program& program : programs) {
        if (!QFileInfo::exists(QString::fromLatin1(program.path)))
            missing << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(program.path), program.package);
    }
    return missing.join(QStringLiteral(", "));
}

PortalDesktop::PortalDesktop(Kind kind) : m_kind(kind)
{
    const QString runtime = m_folder.filePath(QStringLiteral("run"));
    const QString home = m_folder.filePath(QStringLiteral("home"));
    m_log = m_folder.filePath(QStringLiteral("session.log"));
    if (!m_folder.isValid() || !QDir().mkpath(runtime) || !QDir().mkpath(home) ||
        !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        fail(QStringLiteral("no folder for the session"));
        return;
    }
    // The machine's own desktop, settings and accessibility stay out of it.
    for (const char* name : {"DISPLAY", "NO_AT_BRIDGE", "AT_SPI_BUS_ADDRESS", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                             "XDG_CACHE_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS", "XDG_SESSION_TYPE"})
        qunsetenv(name);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("HOME", home.toLocal8Bit());
    // The portal chooses its backend by the desktop's name.
    qputenv("XDG_CURRENT_DESKTOP", kind == Kind::Gnome ? "GNOME" : "KDE");
    qputenv("GSETTINGS_BACKEND", "memory");
    // The portal's dialogs can be reached through the accessibility bus.
    qputenv("GTK_A11Y", "atspi");
    qputenv("WAYLAND_DISPLAY", WaylandSocket);
    qputenv("QT_QPA_PLATFORM", "wayland");

    if (!startSessionBus() || !startAccessibilityBus())
        return;

    if (kind == Kind::Gnome ? !startGnome() : !startKde())
        return;
    start({"/usr/libexec/xdg-desktop-portal"});
    waitForName(QStringLiteral("org.freedesktop.portal.Desktop"));
}

bool PortalDesktop::startGnome()
{
    start({"mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor", "1280x800",
           QByteArray("--wayland-display=") + WaylandSocket});
    if (!waitForSocket() || !waitForName(QStringLiteral("org.gnome.Mutter.RemoteDesktop")))
        return false;
    start({"/usr/libexec/at-spi2-registryd"});
    start({"/usr/libexec/xdg-desktop-portal-gnome"});
    return waitForName(QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));
}

bool PortalDesktop::startKde()
{
    if (!writeKeyboardLayout(QString::fromLocal8Bit(qgetenv("HOME")), "us"))
        return fail(QStringLiteral("KWin's keyboard settings could not be written"));
    std::vector<QByteArray> kwin{KWin,       "--virtual", "--no-lockscreen", "--width",    "1280",
                                 "--height", "800",       "--socket",        WaylandSocket};
    int execError = 0;
    if (!start(kwin, &execError) && execError == EPERM) {
        // Debian's KWin carries the file capability cap_sys_resource (to raise its own limits), and exec fails where
        // the system's bounding set lacks it, as in a container: a copy without it runs, with the limits it has.
        kwin[0] = m_folder.filePath(QStringLiteral("kwin_wayland")).toLocal8Bit();
        if (!QFile::copy(QString::fromLatin1(KWin), QString::fromLocal8Bit(kwin[0])))
            return fail(QStringLiteral("KWin could not be copied"));
        QFile log(m_log);
        if (log.open(QIODevice::Append))
            log.write("kwin_wayland runs from a copy without its file capability cap_sys_resource\n");
        start(kwin);
    }
    if (!waitForSocket() || !waitForName(QStringLiteral("org.kde.KWin")))
        return false;
    start({"/usr/libexec/at-spi2-registryd"});
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"); // the portal's dialogs can be reached through it
    start({KdePortalBackend});
    return waitForName(QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
}

bool PortalDesktop::useKeyboardLayout(const QByteArray& layout)
{
    Wayland::WaylandConnection connection;
    Keys::WaylandKeyboardLayout keyboard(connection);
    const auto layoutName = [&keyboard] {
        xkb_keymap* keymap = keyboard.keymap();
        const char* name = keymap ? xkb_keymap_layout_get_name(keymap, 0) : nullptr;
        return std::string(name ? name : "");
    };
    const std::string before = layoutName();
    if (m_kind != Kind::Kde || !writeKeyboardLayout(QString::fromLocal8Bit(qgetenv("HOME")), layout))
        return false;
    // KWin reads its keyboard settings again when told so, as the desktop's settings tell it.
    sd_bus* bus = nullptr;
    const bool told = sd_bus_open_user(&bus) >= 0 &&
                      sd_bus_emit_signal(bus, "/Layouts", "org.kde.keyboard", "reloadConfig", nullptr) >= 0;
    sd_bus_flush_close_unref(bus);
    for (QDeadlineTimer deadline(5000); told && !deadline.hasExpired(); QThread::msleep(20)) {
        if (layoutName() != before)
            return true;
    }
    return false;
}

PortalDesktop::~PortalDesktop()
{
    for (auto pid = m_started.rbegin(); pid != m_started.rend(); ++pid) {
        kill(*pid, SIGTERM);
        // A program that does not end within a few seconds is killed.
        QDeadlineTimer deadline(5000);
        while (waitpid(*pid, nullptr, WNOHANG) == 0) {
            if (deadline.hasExpired()) {
                kill(*pid, SIGKILL);
                waitpid(*pid, nullptr, 0);
                break;
            }
            QThread::msleep(10);
        }
    }
}

// The accessibility bus comes from its launcher, as in a desktop session: Qt 5 programs (KDE's portal) find it only
// through the launcher's name on the session bus. The others are given its address.
bool PortalDesktop::startAccessibilityBus()
{
    start({"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"});
    if (!waitForName(QStringLiteral("org.a11y.Bus")))
        return false;
    sd_bus* bus = nullptr;
    sd_bus_message* reply = nullptr;
    const char* address = nullptr;
    if (sd_bus_open_user(&bus) >= 0 &&
        sd_bus_call_method(bus, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr, &reply, "") >=
            0 &&
        sd_bus_message_read(reply, "s", &address) >= 0)
        qputenv("AT_SPI_BUS_ADDRESS", address);
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return address ? true : fail(QStringLiteral("the accessibility bus gave no address"));
}

bool PortalDesktop::startSessionBus()
{
    const QString socketFolder = m_folder.filePath(QStringLiteral("session"));
    QFile config(m_folder.filePath(QStringLiteral("session.conf")));
    if (!QDir().mkpath(socketFolder) || !config.open(QIODevice::WriteOnly) ||
        config.write(QString::fromLatin1(BusConfig).arg(socketFolder).toUtf8()) < 0 || !config.flush())
        return fail(QStringLiteral("the bus configuration could not be written"));
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return fail(QStringLiteral("no pipe"));
    // The bus writes its address to the pipe once it accepts connections.
    const int child = dup(pipeEnds[1]); // without close-on-exec: the bus keeps it
    const pid_t bus = start({"dbus-daemon", "--nofork", "--config-file=" + config.fileName().toLocal8Bit(),
                             "--print-address=" + QByteArray::number(child)});
    close(child);
    close(pipeEnds[1]);
    QByteArray written;
    char buffer[256];
    ssize_t got = 0;
    while (!written.contains('\n') && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        written.append(buffer, got);
    close(pipeEnds[0]);
    qputenv("DBUS_SESSION_BUS_ADDRESS", written.trimmed());
    return bus > 0 && !written.trimmed().isEmpty() ? true : fail(QStringLiteral("dbus-daemon did not start"));
}

pid_t PortalDesktop::start(const std::vector<QByteArray>& arguments, int* execError)
{
    // A failed exec writes its errno to the pipe, which a successful one closes.
    int failure[2];
    if (pipe2(failure, O_CLOEXEC) != 0)
        return 0;
    const int log = open(m_log.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    std::vector<char*> argv;
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // The program dies with the test, and holds none of the test's output open.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execvp(argv[0], argv.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t written = write(failure[1], &error, sizeof error);
        _exit(127);
    }
    close(failure[1]);
    if (log >= 0)
        close(log);
    int error = 0;
    const bool execFailed = pid > 0 && read(failure[0], &error, sizeof error) == sizeof error;
    close(failure[0]);
    if (pid <= 0)
        return 0;
    m_started.push_back(pid);
    if (execError)
        *execError = execFailed ? error : 0;
    return execFailed ? 0 : pid;
}

bool PortalDesktop::waitForSocket()
{
    const QString socket = QDir(QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"))).filePath(WaylandSocket);
    QDeadlineTimer deadline(StartMs);
    while (!QFileInfo::exists(socket) && !deadline.hasExpired())
        QThread::msleep(20);
    return QFileInfo::exists(socket) ? true : fail(QStringLiteral("the compositor did not open its Wayland socket"));
}

bool PortalDesktop::waitForName(const QString& name)
{
    sd_bus* bus = nullptr;
    int owned = 0;
    if (sd_bus_open_user(&bus) >= 0) {
        for (QDeadlineTimer deadline(StartMs); !owned && !deadline.hasExpired(); QThread::msleep(50)) {
            sd_bus_message* reply = nullptr;
            if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                   "NameHasOwner", nullptr, &reply, "s", name.toUtf8().constData()) >= 0)
                sd_bus_message_read(reply, "b", &owned);
            sd_bus_message_unref(reply);
        }
    }
    sd_bus_flush_close_unref(bus);
    return owned ? true : fail(name + QStringLiteral(" did not appear on the session bus"));
}

bool PortalDesktop::fail(const QString& why)
{
    QFile log(m_log);
    m_error = why;
    if (log.open(QIODevice::ReadOnly))
        m_error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll().right(4000));
    return false;
}
