#pragma once

#include "os/keys/KeySender.h"

#include <memory>
#include <string>

namespace Keys {

// Types keys into the focused window of a Wayland session through a virtual keyboard of its own, which wlroots
// compositors (sway, Hyprland, labwc, ...) offer; GNOME and KDE do not. The keyboard carries keymaps the sender
// writes for the characters at hand (WaylandKeymap), so every character is typed whatever the user's layout, and
// it sets the modifiers itself: the compositor does not derive them from the keys. The keyboard is made at the
// first send and kept until typing has paused (releaseIdleKeys), as a launch sends its steps one by one: ending it
// loses the keys that a window has not taken yet (Chromium: the last few dozen of a fast text). Keys go at the pace
// of WaylandKeyPace, so send() returns once its last key has left: a few milliseconds a key.
class WaylandKeySender : public KeySender
{
public:
    // Empty when the compositor that WAYLAND_DISPLAY names can be reached and offers virtual keyboards and a
    // seat, else why not.
    static std::string unavailableReason();

    WaylandKeySender();
    ~WaylandKeySender() override;
    WaylandKeySender(const WaylandKeySender&) = delete;
    WaylandKeySender& operator=(const WaylandKeySender&) = delete;

    // Throws KeySendError, before any key, for a character that has no keysym, and when the compositor cannot
    // be reached, refuses a virtual keyboard or the connection breaks; every key and modifier sent is released.
    void send(const std::vector<KeyStroke>& strokes) override;
    // Ends the virtual keyboard and the connection; the next send makes new ones.
    void releaseIdleKeys() override;

private:
    class Keyboard;
    std::unique_ptr<Keyboard> m_keyboard;
};

} // namespace Keys
