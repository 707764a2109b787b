#include "support/ApplicationScope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr long CgroupV2Magic = 0x63677270;

// The cgroup v2 hierarchy: the whole of /sys/fs/cgroup, or beside the version 1 controllers in its unified folder.
QString cgroupV2Hierarchy()
{
    for (const char* path : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
        struct statfs filesystem = {};
        if (statfs(path, &filesystem) == 0 && static_cast<long>(filesystem.f_type) == CgroupV2Magic)
            return QString::fromLatin1(path);
    }
    return {};
}

// This process's group in the v2 hierarchy ("/" or "/user.slice/..."), from its line "0::<group>".
QString currentGroup()
{
    QFile groups(QStringLiteral("/proc/self/cgroup"));
    if (!groups.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : groups.readAll().split('\n')) {
        if (line.startsWith("0::"))
            return QString::fromLocal8Bit(line.mid(3));
    }
    return {};
}

bool moveHere(const QString& group)
{
    QFile processes(group + QStringLiteral("/cgroup.procs"));
    return processes.open(QIODevice::WriteOnly) && processes.write(QByteArray::number(getpid())) > 0 &&
           processes.flush();
}

} // namespace

ApplicationScope::ApplicationScope(const QString& applicationId)
    : m_hierarchy(cgroupV2Hierarchy()), m_formerGroup(currentGroup())
{
    // The slice keeps the test's groups together and out of the way of a service manager's own.
    m_group = QStringLiteral("%1/quillock-tests.slice/user@%2.service/app-%3-%4.scope")
                  .arg(m_hierarchy)
                  .arg(getuid())
                  .arg(applicationId)
                  .arg(getpid());
    if (m_hierarchy.isEmpty() || m_formerGroup.isEmpty())
        m_error = QStringLiteral("no cgroup v2 hierarchy");
    else if (!QDir().mkpath(m_group) || !moveHere(m_group))
        m_error = QStringLiteral("%1 could not be made and entered").arg(m_group);
}

ApplicationScope::~ApplicationScope()
{
    if (m_hierarchy.isEmpty() || m_formerGroup.isEmpty())
        return;
    moveHere(m_hierarchy + m_formerGroup);
    // Empty now: the folders go, the slice's too when no other test uses it.
    QDir().rmdir(m_group);
    QDir().rmdir(QFileInfo(m_group).path());
    QDir().rmdir(QFileInfo(QFileInfo(m_group).path()).path());
}
