#include "support/BrowserHome.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <unistd.h>

BrowserHome::BrowserHome() : m_chromium(QStandardPaths::findExecutable(QStringLiteral("chromium")))
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(".config").toUtf8());
    qputenv("XDG_DATA_HOME", m_home.filePath(".local/share").toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_home.filePath("no-system-config").toUtf8());
    qputenv("XDG_DATA_DIRS", m_home.filePath("no-system-data").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
}

bool BrowserHome::useChromium(const QString& profile, const QString& options)
{
    // As root chromium runs only without its sandbox.
    return !m_chromium.isEmpty() &&
           useBrowser(QStringLiteral("\"%1\" --no-sandbox --no-first-run --no-default-browser-check "
                                     "--disable-background-networking --disable-component-update --disable-sync "
                                     "--disable-gpu --disable-dev-shm-usage --disable-breakpad --password-store=basic "
                                     "\"--user-data-dir=%2\" %3 %U")
                          .arg(m_chromium, m_home.filePath(profile), options));
}

bool BrowserHome::useBrowser(const QString& exec, const QString& windowClass)
{
    const QString applications = m_home.filePath(QStringLiteral(".local/share/applications"));
    QFile entry(applications + QStringLiteral("/quillock-test-browser.desktop"));
    if (!m_home.isValid() || !QDir().mkpath(applications) || !entry.open(QIODevice::WriteOnly))
        return false;
    const QString startupClass = windowClass.isEmpty() ? QString() : "StartupWMClass=" + windowClass + '\n';
    entry.write(
        ("[Desktop Entry]\nType=Application\nName=Browser\nExec=" + exec + "\nMimeType=text/html;\n" + startupClass)
            .toUtf8());
    return entry.error() == QFile::NoError;
}

void BrowserHome::endBrowser(pid_t browser)
{
    const pid_t group = browser > 0 ? getpgid(browser) : -1;
    if (group > 1 && group != getpgid(0))
        kill(-group, SIGTERM);
}

void BrowserHome::endChromium(const QString& profile) const
{
    const QByteArray option = "--user-data-dir=" + m_home.filePath(profile).toUtf8();
    const auto running = [&option] {
        QList<pid_t> found;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
            if (entry.toInt() > 0 && commandLine.open(QIODevice::ReadOnly) &&
                commandLine.readAll().split('\0').contains(option))
                found << entry.toInt();
        }
        return found;
    };
    for (const pid_t browser : running())
        endBrowser(browser);
    static_cast<void>(QTest::qWaitFor([&running] { return running().isEmpty(); }, 10000));
}
