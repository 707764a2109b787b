#include "support/WriteProtection.h"

#include <QFile>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Raises or lowers the override of file permissions in the calling thread's effective capabilities; it stays
// permitted, so it can be raised again.
void overridePermissions(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    if (on)
        data[0].effective |= data[0].permitted & (1U << CAP_DAC_OVERRIDE);
    else
        data[0].effective &= ~(1U << CAP_DAC_OVERRIDE);
    syscall(SYS_capset, &header, data);
}

} // namespace

WriteProtection::WriteProtection(const QString& path) : m_path(path)
{
    QFile::setPermissions(m_path, QFile::permissions(m_path) &
                                      ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
    overridePermissions(false);
}

WriteProtection::~WriteProtection()
{
    overridePermissions(true);
    QFile::setPermissions(m_path, QFile::permissions(m_path) | QFile::WriteOwner);
}
