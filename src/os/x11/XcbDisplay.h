#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace X11 {

// A connection of its own to the X display that DISPLAY names, with the look-ups that the OS layer's X11 backends
// share. The connection may fail to open, or break later: isOpen() tells the first, and the look-ups then answer
// with nothing.
class XcbDisplay
{
public:
    XcbDisplay();
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

private:
    xcb_connection_t* m_connection = nullptr;
    const xcb_screen_t* m_screen = nullptr;
    int m_screenNumber = 0;
};

} // namespace X11
