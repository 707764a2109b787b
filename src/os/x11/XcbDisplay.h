#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace X11 {

// A connection to the X display that DISPLAY names, with the look-ups that the OS layer's X11 backends share: one of
// its own, or one that Xlib made and lends. The connection may fail to open, or break later: isOpen() tells the
// first, and the look-ups then answer with nothing.
class XcbDisplay
{
public:
    // Opens a connection of its own, closed with the object.
    XcbDisplay();
    // Uses the connection of an Xlib display, which stays open with the object; screenNumber is the display's
    // default screen.
    XcbDisplay(xcb_connection_t* borrowed, int screenNumber);
    ~XcbDisplay();
    XcbDisplay(const XcbDisplay&) = delete;
    XcbDisplay& operator=(const XcbDisplay&) = delete;

    // Whether the connection was made and its screen found.
    bool isOpen() const { return m_screen != nullptr; }
    xcb_connection_t* connection() const { return m_connection; }
    // The screen DISPLAY names; only while isOpen().
    const xcb_screen_t& screen() const { return *m_screen; }
    int screenNumber() const { return m_screenNumber; }

    // The atom of the name; XCB_ATOM_NONE when it cannot be had.
    xcb_atom_t atom(const char* name);
    // A property of 32-bit items of the type; empty when it is missing or of another type or format.
    std::vector<std::uint32_t> words(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);
    // A property of 8-bit items of the type (up to 4 KiB of it); empty when it is missing or of another type.
    std::string bytes(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);

private:
    void findScreen();

    xcb_connection_t* m_connection = nullptr;
    bool m_owned = true;
    const xcb_screen_t* m_screen = nullptr;
    int m_screenNumber = 0;
};

} // namespace X11
