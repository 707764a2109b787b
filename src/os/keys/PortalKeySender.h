#pragma once

#include "os/keys/KeySender.h"
#include "os/keys/WaylandKeyPace.h"

#include <cstdint>
#include <memory>
#include <string>

struct xkb_keymap;

namespace Wayland {
class WaylandConnection;
}

namespace Keys {

class PortalRemoteDesktop;
class WaylandKeyboardLayout;

// Types keys through the desktop portal's remote desktop (GNOME, KDE): each key by its keysym, which the desktop
// finds in the active keyboard layout, pressing Shift or AltGr itself where the layout needs them. The desktop asks
// the user's consent once, in a dialog of its own, and the session is kept for the whole run. A keysym that the
// layout lacks is dropped, and one it holds only beyond AltGr is typed as another character, by the desktop without
// a word: firstUntypable() tells of both beforehand. Keys go at the pace of WaylandKeyPace, as the portal takes them
// as fast as they come and the compositor drops a window that lags.
class PortalKeySender : public KeySender
{
public:
    // Empty in a Wayland session whose desktop portal offers a keyboard through its remote desktop, else why not.
    static std::string unavailableReason();

    // Connects to the session bus. Throws KeySendError when it cannot.
    PortalKeySender();
    // Closes the portal's session.
    ~PortalKeySender() override;
    PortalKeySender(const PortalKeySender&) = delete;
    PortalKeySender& operator=(const PortalKeySender&) = delete;

    // Starts the portal's session, once: the desktop asks the user; does nothing while a session runs.
    void prepare(const Preparation& preparation) override;
    // Judged on the keymap that the compositor gives this program's own Wayland keyboard, as the desktop types: a
    // character counts when the active layout holds it plain, with Shift or with AltGr. Nothing when the keymap cannot
    // be read (a headless desktop shows a keyboard only once a session is prepared).
    std::optional<char32_t> firstUntypable(const std::vector<KeyStroke>& strokes) override;
    // Without a session, starts one first without running the event loop: the desktop's dialog, a program of the
    // desktop's own, is answered meanwhile, but this program's windows wait.
    void send(const std::vector<KeyStroke>& strokes) override;
    // Typing paused for good: the next keys start at the full pace again (the session is kept).
    void releaseIdleKeys() override { m_pace = portalPace(); }

private:
    void awaitKeyboard(const Preparation& preparation);
    // The compositor's keymap; null while it shows no keyboard.
    xkb_keymap* keymap();

    std::unique_ptr<PortalRemoteDesktop> m_desktop;
    std::unique_ptr<Wayland::WaylandConnection> m_wayland;
    std::unique_ptr<WaylandKeyboardLayout> m_layout;
    WaylandKeyPace m_pace = portalPace();
};

} // namespace Keys
