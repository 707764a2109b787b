#include "support/PortalDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <cstring>
#include <linux/capability.h>
#include <sys/prctl.h>
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

// The programs each desktop needs (KDE's portal dialog is written in QML with Plasma's dialog type, and its Qt 5
// programs need Qt's Wayland platform, which nothing installs with them).
const struct
{
    const char* path;
    const char* package;
    bool gnome, kde;
} Programs[] = {
    {"/usr/bin/dbus-daemon", "dbus-daemon", true, true},
    {"/usr/libexec/xdg-desktop-portal", "xdg-desktop-portal", true, true},
    {"/usr/libexec/at-spi-bus-launcher", "at-spi2-core", true, true},
    {"/usr/libexec/at-spi2-registryd", "at-spi2-core", true, true},
    {"/usr/bin/mutter", "mutter", true, false},
    {"/usr/libexec/xdg-desktop-portal-gnome", "xdg-desktop-portal-gnome", true, false},
    {KWin, "kwin-wayland", false, true},
    {KdePortalBackend, "xdg-desktop-portal-kde", false, true},
    {"/usr/lib/x86_64-linux-gnu/qt5/plugins/platforms/libqwayland-generic.so", "qtwayland5", false, true},
    {"/usr/lib/x86_64-linux-gnu/qt5/qml/org/kde/plasma/workspace/dialogs/qmldir", "plasma-workspace", false, true},
};

// The keyboard layout of KWin's settings file.
bool writeKeyboardLayout(const QString& home, const QByteArray& layout)
{
    QFile settings(QDir(home).filePath(QStringLiteral(".config/kxkbrc")));
    return QDir().mkpath(QFileInfo(settings).path()) && settings.open(QIODevice::WriteOnly) &&
           settings.write("[Layout]\nUse=true\nLayoutList=" + layout + "\n") > 0 && settings.flush();
}

// Where the cgroup v2 hierarchy is (all of /sys/fs/cgroup, or its unified folder beside version 1's controllers), and
// this process's group there ("/", "/user.slice/..."), from its line "0::<group>".
QString cgroupHierarchy()
{
    const bool unified = QFileInfo::exists(QStringLiteral("/sys/fs/cgroup/cgroup.controllers"));
    return unified ? QStringLiteral("/sys/fs/cgroup") : QStringLiteral("/sys/fs/cgroup/unified");
}
QString currentGroup()
{
    QFile groups(QStringLiteral("/proc/self/cgroup"));
    const QString text = groups.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(groups.readAll()) : QString();
    return QRegularExpression(QStringLiteral("^0::(.+)$"), QRegularExpression::MultilineOption).match(text).captured(1);
}

bool enterGroup(const QString& group)
{
    QFile processes(group + QStringLiteral("/cgroup.procs"));
    return processes.open(QIODevice::WriteOnly) && processes.write(QByteArray::number(getpid())) > 0 &&
           processes.flush();
}

} // namespace

QString PortalDesktop::missingPrograms(Kind kind)
{
    QStringList missing;
    for (const auto& program : Programs) {
        if ((kind == Kind::Gnome ? program.gnome : program.kde) &&
            !QFileInfo::exists(QString::fromLatin1(program.path)))
            missing << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(program.path), program.package);
    }
    return missing.join(QStringLiteral(", "));
}

PortalDesktop::PortalDesktop(Kind kind) : m_kind(kind), m_cgroups(cgroupHierarchy()), m_formerGroup(currentGroup())
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

    if (!startSessionBus())
        return;
    // The accessibility bus comes from its launcher, through which its users find it, as in a desktop session (Qt 5
    // programs such as KDE's portal find it no other way).
    start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {QStringLiteral("--launch-immediately")});
    if (!waitForName(QStringLiteral("org.a11y.Bus")))
        return;

    if (kind == Kind::Gnome ? !startGnome() : !startKde())
        return;
    start(QStringLiteral("/usr/libexec/xdg-desktop-portal"));
    waitForName(QStringLiteral("org.freedesktop.portal.Desktop"));
}

bool PortalDesktop::startGnome()
{
    start(QStringLiteral("mutter"), {QStringLiteral("--headless"), QStringLiteral("--wayland"),
                                     QStringLiteral("--no-x11"), QStringLiteral("--virtual-monitor"),
                                     QStringLiteral("1280x800"), QStringLiteral("--wayland-display=") + WaylandSocket});
    if (!waitForSocket() || !waitForName(QStringLiteral("org.gnome.Mutter.RemoteDesktop")))
        return false;
    start(QStringLiteral("/usr/libexec/at-spi2-registryd"));
    start(QStringLiteral("/usr/libexec/xdg-desktop-portal-gnome"));
    return waitForName(QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));
}

bool PortalDesktop::startKde()
{
    if (!writeKeyboardLayout(QString::fromLocal8Bit(qgetenv("HOME")), "us"))
        return fail(QStringLiteral("KWin's keyboard settings could not be written"));
    QString kwin = QString::fromLatin1(KWin);
    // Debian's KWin carries the file capability cap_sys_resource (to raise its own limits), and exec fails with EPERM
    // where the bounding set lacks it, as in a container: there a copy without it runs, with the limits it has.
    if (prctl(PR_CAPBSET_READ, CAP_SYS_RESOURCE) == 0) {
        kwin = m_folder.filePath(QStringLiteral("kwin_wayland")); // by that name, which KWin's Qt platform wants
        if (!QFile::copy(QString::fromLatin1(KWin), kwin))
            return fail(QStringLiteral("KWin could not be copied"));
    }
    start(kwin, {QStringLiteral("--virtual"), QStringLiteral("--no-lockscreen"), QStringLiteral("--width"),
                 QStringLiteral("1280"), QStringLiteral("--height"), QStringLiteral("800"), QStringLiteral("--socket"),
                 QString::fromLatin1(WaylandSocket)});
    if (!waitForSocket() || !waitForName(QStringLiteral("org.kde.KWin")))
        return false;
    start(QStringLiteral("/usr/libexec/at-spi2-registryd"));
    // The portal's dialogs can be reached through the accessibility bus (not the test's windows: the answerer would
    // wait on them while the test waits for the answer).
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    start(QString::fromLatin1(KdePortalBackend));
    qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    return waitForName(QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
}

bool PortalDesktop::startAsFromTheMenu(bool fromTheMenu)
{
    if (m_formerGroup.isEmpty())
        return false;
    if (!fromTheMenu)
        return enterGroup(m_cgroups + m_formerGroup);
    // A slice of the tests' own keeps the scope apart from a service manager's.
    m_applicationScope = QStringLiteral("quillock-tests.slice/user@%1.service/app-example.quillock.Quillock-%2.scope")
                             .arg(getuid())
                             .arg(getpid());
    const QString scope = m_cgroups + '/' + m_applicationScope;
    return QDir().mkpath(scope) && enterGroup(scope);
}

bool PortalDesktop::useKeyboardLayout(const QByteArray& layout)
{
    // KWin reads its keyboard settings again when told so, as the desktop's settings tell it.
    sd_bus* bus = nullptr;
    const bool told = m_kind == Kind::Kde && writeKeyboardLayout(QString::fromLocal8Bit(qgetenv("HOME")), layout) &&
                      sd_bus_open_user(&bus) >= 0 &&
                      sd_bus_emit_signal(bus, "/Layouts", "org.kde.keyboard", "reloadConfig", nullptr) >= 0;
    sd_bus_flush_close_unref(bus);
    return told;
}

PortalDesktop::~PortalDesktop()
{
    if (!m_applicationScope.isEmpty() && startAsFromTheMenu(false)) // then empty, it goes; its slice too when unused
        QDir(m_cgroups).rmpath(m_applicationScope);
    for (auto process = m_started.rbegin(); process != m_started.rend(); ++process) {
        (*process)->terminate();
        if (!(*process)->waitForFinished(5000)) // a program that does not end within a few seconds is killed
            (*process)->kill();
    }
}

bool PortalDesktop::startSessionBus()
{
    const QString socketFolder = m_folder.filePath(QStringLiteral("session"));
    QFile config(m_folder.filePath(QStringLiteral("session.conf")));
    if (!QDir().mkpath(socketFolder) || !config.open(QIODevice::WriteOnly) ||
        config.write(QString::fromLatin1(BusConfig).arg(socketFolder).toUtf8()) < 0 || !config.flush())
        return fail(QStringLiteral("the bus configuration could not be written"));
    // The bus prints its address once it accepts connections.
    QProcess& bus = start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--nofork"), "--config-file=" + config.fileName(), QStringLiteral("--print-address=1")}, true);
    const QByteArray address = bus.waitForReadyRead(StartMs) ? bus.readLine().trimmed() : QByteArray();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    return !address.isEmpty() ? true : fail(QStringLiteral("dbus-daemon did not start"));
}

QProcess& PortalDesktop::start(const QString& program, const QStringList& arguments, bool readOutput)
{
    QProcess& process = *m_started.emplace_back(std::make_unique<QProcess>());
    process.setStandardInputFile(QProcess::nullDevice());
    if (!readOutput)
        process.setStandardOutputFile(m_log, QIODevice::Append);
    process.setStandardErrorFile(m_log, QIODevice::Append);
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); }); // it dies with the test
    process.start(program, arguments);
    return process;
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
