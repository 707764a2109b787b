#pragma once

#include "os/keys/KeySender.h"

#include <memory>
#include <string>

namespace Keys {

// Types keys into the focused window of the X display with the XTest extension. Each key is looked up in
// the current keyboard map (its layout group, Shift level and locked Caps Lock or Num Lock taken into
// account); a character the map lacks is typed on a spare keycode bound to its keysym for the time, pressed
// after a pause (a fifth of a second, more after many keys) that lets the window take in the new binding.
// Keys the user holds down on the modifiers are released first, and every modifier pressed for a key is
// released right after it. Where the keys must go into one window only, the server is grabbed from asking which
// window has the focus (a round trip) to the last key of the send, so that no program can move the focus between the
// check and the keys. The header keeps Xlib out of the files
// that include it: its macros clash with other libraries' names.
class X11KeySender : public KeySender
{
public:
    // Empty when the display that DISPLAY names can be opened and has the XTest and XKB extensions, else why not;
    // not in a Wayland session, where the display is XWayland's and its keys reach X11 programs only.
    static std::string unavailableReason();

    // Opens its own connection to the display that DISPLAY names. Throws KeySendError without one, or
    // when the display lacks the XTest or XKB extension.
    X11KeySender();
    // Gives the spare keycodes back and closes the connection.
    ~X11KeySender() override;
    X11KeySender(const X11KeySender&) = delete;
    X11KeySender& operator=(const X11KeySender&) = delete;

    void send(const std::vector<KeyStroke>& strokes) override;
    // The window is an application window as X11::FocusReader names it.
    bool sendOnlyInto(const std::vector<KeyStroke>& strokes, std::uint64_t window) override;
    bool checksTheWindowAtTheKeys() const override { return true; }
    void releaseIdleKeys() override;

private:
    class Keyboard;
    std::unique_ptr<Keyboard> m_keyboard;
};

} // namespace Keys
