#pragma once

#include "os/keys/KeySender.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

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
    // A text typed a character per send would otherwise change keymaps at nearly every key once it holds more
    // characters than a keymap, and each keymap reaches the window as a file of its own, of which a compositor
    // holds far fewer than keys for a window that lags.
    void expect(const std::vector<KeyStroke>& strokes) override;
    // Ends the virtual keyboard and the connection; the next send makes new ones.
    void releaseIdleKeys() override;

private:
    class Keyboard;
    // The strokes from the send at hand on: those sent, then those expected after them.
    std::span<const KeyStroke> strokesAhead(const std::vector<KeyStroke>& strokes);

    std::unique_ptr<Keyboard> m_keyboard;
    std::vector<KeyStroke> m_expected;
    std::size_t m_expectedSent = 0;
};

} // namespace Keys
