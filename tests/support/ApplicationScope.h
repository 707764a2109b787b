#pragma once

#include <QString>

// Puts this process where a desktop's launcher puts a program it starts from its menu: in a cgroup of its own named
// as a systemd scope of the application, app-<id>-<number>.scope under the user's service manager, from which the
// desktop portal reads the application ID of its callers. Moves the process back where it was when it ends. Needs
// the right to make cgroups (root, as the test command runs).
class ApplicationScope
{
public:
    explicit ApplicationScope(const QString& applicationId);
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;

    bool isEntered() const { return m_error.isEmpty(); }
    // Why the process could not be moved.
    QString error() const { return m_error; }

private:
    QString m_hierarchy; // where the cgroup v2 hierarchy is mounted
    QString m_formerGroup;
    QString m_group;
    QString m_error;
};
