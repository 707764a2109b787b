#include "os/x11/XcbDisplay.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace X11 {
namespace {

template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply)
{
    return {reply, &std::free};
}

} // namespace

XcbDisplay::XcbDisplay() : m_connection(xcb_connect(nullptr, &m_screenNumber))
{
    findScreen();
}

XcbDisplay::XcbDisplay(xcb_connection_t* borrowed, int screenNumber)
    : m_connection(borrowed), m_owned(false), m_screenNumber(screenNumber)
{
    findScreen();
}

XcbDisplay::~XcbDisplay()
{
    if (m_owned)
        xcb_disconnect(m_connection);
}

void XcbDisplay::findScreen()
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    m_screen = screens.data;
}

xcb_atom_t XcbDisplay::atom(const char* name)
{
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    const auto reply =
        owned(xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, length, name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> XcbDisplay::words(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const auto reply = owned(
        xcb_get_property_reply(m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1024), nullptr));
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32 && reply->type == type) {
        const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        values.assign(first, first + xcb_get_property_value_length(reply.get()) / 4);
    }
    return values;
}

std::string XcbDisplay::bytes(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const auto reply = owned(
        xcb_get_property_reply(m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1024), nullptr));
    if (!reply || reply->format != 8 || reply->type != type)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

} // namespace X11
