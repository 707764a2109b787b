#include "support/MutterSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

constexpr int StartMs = 30000;
const char* const WaylandSocket = "quillock-mutter";

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

const struct
{
    const char* path;
    const char* package;
} Programs[] = {
    {"/usr/bin/dbus-daemon", "dbus-daemon"},
    {"/usr/bin/mutter", "mutter"},
    {"/usr/libexec/xdg-desktop-portal", "xdg-desktop-portal"},
    {"/usr/libexec/xdg-desktop-portal-gnome", "xdg-desktop-portal-gnome"},
    {"/usr/libexec/at-spi2-registryd", "at-spi2-core"},
};

} // namespace

QString MutterSession::missingPrograms()
{
    QStringList missing;
    for (const auto& program : Programs) {
        if (!QFileInfo(QString::fromLatin1(program.path)).isExecutable())
            missing << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(program.path), program.package);
    }
    return missing.join(QStringLiteral(", "));
}

MutterSession::MutterSession()
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
    qputenv("XDG_CURRENT_DESKTOP", "GNOME"); // the portal chooses its GNOME backend
    qputenv("GSETTINGS_BACKEND", "memory");
    qputenv("GTK_A11Y", "atspi"); // the portal's dialogs can be reached through the accessibility bus
    qputenv("WAYLAND_DISPLAY", WaylandSocket);
    qputenv("QT_QPA_PLATFORM", "wayland");

    QString sessionBus;
    QString accessibilityBus;
    if (!startBus(QStringLiteral("session.conf"), sessionBus) ||
        !startBus(QStringLiteral("accessibility.conf"), accessibilityBus))
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.toLocal8Bit());
    qputenv("AT_SPI_BUS_ADDRESS", accessibilityBus.toLocal8Bit());

    const QString socket = QDir(runtime).filePath(QString::fromLatin1(WaylandSocket));
    start({"mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor", "1280x800",
           QByteArray("--wayland-display=") + WaylandSocket});
    QDeadlineTimer deadline(StartMs);
    while (!QFileInfo::exists(socket) && !deadline.hasExpired())
        QThread::msleep(20);
    if (!waitForName(QStringLiteral("org.gnome.Mutter.RemoteDesktop")))
        return;
    start({"/usr/libexec/at-spi2-registryd"});
    start({"/usr/libexec/xdg-desktop-portal-gnome"});
    if (!waitForName(QStringLiteral("org.freedesktop.impl.portal.desktop.gnome")))
        return;
    start({"/usr/libexec/xdg-desktop-portal"});
    waitForName(QStringLiteral("org.freedesktop.portal.Desktop"));
}

MutterSession::~MutterSession()
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

bool MutterSession::startBus(const QString& configName, QString& address)
{
    const QString socketFolder = m_folder.filePath(QFileInfo(configName).baseName());
    QFile config(m_folder.filePath(configName));
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
    address = QString::fromLocal8Bit(written.trimmed());
    return bus > 0 && !address.isEmpty() ? true : fail(QStringLiteral("dbus-daemon did not start"));
}

pid_t MutterSession::start(const std::vector<QByteArray>& arguments)
{
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
        _exit(127);
    }
    if (log >= 0)
        close(log);
    if (pid > 0)
        m_started.push_back(pid);
    return pid;
}

bool MutterSession::waitForName(const QString& name)
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

bool MutterSession::fail(const QString& why)
{
    QFile log(m_log);
    m_error = why;
    if (log.open(QIODevice::ReadOnly))
        m_error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll().right(4000));
    return false;
}
