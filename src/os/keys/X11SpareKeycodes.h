#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <vector>

namespace Keys {

// Keycodes that carry no keysym in the keyboard map, lent out to type characters that the map lacks.
//
// The window receiving the keys looks a keycode up in the map when it gets to the key, which may be
// well after the key was sent. So a keycode is never rebound or given back while its last press may
// still be waiting in some queue: only after it has been idle for RestoreDelay, or at exit.
class X11SpareKeycodes
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration RestoreDelay = std::chrono::seconds(2);

    explicit X11SpareKeycodes(Display* display);
    // Gives every lent keycode back to the map.
    ~X11SpareKeycodes();
    X11SpareKeycodes(const X11SpareKeycodes&) = delete;
    X11SpareKeycodes& operator=(const X11SpareKeycodes&) = delete;

    // A keycode that types the keysym: its current binding, a free spare, or else the spare idle longest
    // (waiting until it has been idle for RestoreDelay). Throws KeySendError when the map has no spare.
    // The caller must read the keyboard map again afterwards.
    KeyCode bind(KeySym keysym);
    // Records that the keycode was pressed just now, when it is one of the spares.
    void noteUse(KeyCode keycode);
    // Gives back the spares idle for RestoreDelay; true when the keyboard map changed.
    bool restoreIdle();

private:
    struct Spare
    {
        KeyCode keycode;
        KeySym keysym;
        Clock::time_point lastUse;
    };

    Spare& chooseSpare();
    void setKeysym(Spare& spare, KeySym keysym);

    Display* m_display;
    std::vector<Spare> m_spares;
};

} // namespace Keys
