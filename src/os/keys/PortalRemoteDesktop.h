#pragma once

#include "os/keys/KeySender.h"

#include <cstdint>
#include <string>

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace Keys {

// A remote-desktop session of the desktop portal (org.freedesktop.portal.RemoteDesktop) that may press keys, on a
// session-bus connection of its own (sd-bus). The session is started once, after the user agreed in the desktop's
// own dialog, and lasts until the user stops it or this object ends. Not for use by two threads at once.
class PortalRemoteDesktop
{
public:
    // Empty when the session bus can be reached and its portal offers a keyboard, else why not. Waits at most a
    // couple of seconds for a portal that does not answer.
    static std::string unavailableReason();

    // Connects to the session bus. Throws KeySendError when it cannot.
    PortalRemoteDesktop();
    // Closes the session, when one was started.
    ~PortalRemoteDesktop();
    PortalRemoteDesktop(const PortalRemoteDesktop&) = delete;
    PortalRemoteDesktop& operator=(const PortalRemoteDesktop&) = delete;

    // Whether a session is started and the user has not stopped it.
    bool isStarted();

    // Creates and starts a keyboard-only session, running preparation.whileWaiting between short waits for the
    // portal's answers, and offers the portal preparation.savedPermission where it keeps consent; a new
    // permission is handed to preparation.keepPermission. Throws KeySendError, saying what happened, when the
    // user refuses, the dialog is closed or the portal fails; what whileWaiting throws passes through, the
    // request and session being closed first.
    void start(const Preparation& preparation);

    // Presses (down) or releases the key of a keysym in the started session. Throws KeySendError.
    void notifyKeysym(std::uint32_t keysym, bool down);

private:
    struct Response;

    // Calls a method of the portal that answers later through a Request object, and waits for that answer.
    Response request(sd_bus_message* call, const std::string& token, const Preparation& preparation);
    std::string nextToken();
    void closeSession();

    sd_bus* m_bus = nullptr;
    // This connection's unique name as the portal puts it in request paths: ":1.42" is "1_42".
    std::string m_sender;
    unsigned m_tokens = 0;
    std::string m_session; // the session's object path; empty when none is started
    sd_bus_slot* m_sessionClosed = nullptr;
    bool m_closedByDesktop = false;
};

} // namespace Keys
