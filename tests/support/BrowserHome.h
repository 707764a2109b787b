#pragma once

#include <QString>
#include <QTemporaryDir>
#include <sys/types.h>

// A temporary home in which Debian's chromium (or a test's own program) is the only application for web pages,
// started with a new profile each time and without the machine's desktop settings: HOME and the XDG folders point into
// it from construction on (they are not restored).
class BrowserHome
{
public:
    BrowserHome();

    // The chromium program; empty when it is not installed.
    const QString& chromium() const { return m_chromium; }
    // Makes chromium the application for text/html, with its profile in a new folder of the home named
    // profile, and the options given (a command line's text) before the link. False when chromium is missing or
    // the entry cannot be written.
    bool useChromium(const QString& profile, const QString& options = {});
    // Makes the desktop entry's command line (its Exec value) the application for text/html, with the class of its
    // windows when given (StartupWMClass). False when the entry cannot be written.
    bool useBrowser(const QString& exec, const QString& windowClass = {});
    // Ends a browser started in a session of its own, with its helper processes (the session's process
    // group); does nothing for a process of this program's own group.
    static void endBrowser(pid_t browser);
    // Ends the chromium processes of the profile (those started by another program) and waits, for a few seconds at
    // most, until they are gone.
    void endChromium(const QString& profile) const;

private:
    QString m_chromium;
    QTemporaryDir m_home;
};
