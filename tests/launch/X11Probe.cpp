#include "X11Probe.h"

#include <cstdlib>
#include <cstring>
#include <vector>

X11Probe::X11Probe() : m_connection(xcb_connect(nullptr, nullptr))
{
    if (!xcb_connection_has_error(m_connection))
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
}

X11Probe::~X11Probe()
{
    xcb_disconnect(m_connection);
}

QRect X11Probe::screen() const
{
    return m_screen ? QRect(0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels) : QRect();
}

xcb_atom_t X11Probe::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

QString X11Probe::atomName(xcb_atom_t atom)
{
    xcb_get_atom_name_reply_t* reply =
        xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr);
    const QString name =
        reply ? QString::fromLatin1(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply)) : QString();
    std::free(reply);
    return name;
}

QByteArray X11Probe::property(xcb_window_t window, xcb_atom_t name)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr);
    QByteArray value;
    if (reply)
        value =
            QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

bool X11Probe::matches(xcb_window_t window, const QString& classOrTitle)
{
    // WM_CLASS holds two texts, each ended by a NUL: the instance name and the class name.
    const QList<QByteArray> classes = property(window, XCB_ATOM_WM_CLASS).split('\0');
    const QByteArray wanted = classOrTitle.toUtf8();
    return classes.contains(wanted) || property(window, XCB_ATOM_WM_NAME) == wanted ||
           property(window, atom("_NET_WM_NAME")) == wanted;
}

std::optional<xcb_window_t> X11Probe::findWindow(const QString& classOrTitle)
{
    if (!m_screen)
        return std::nullopt;
    // The root's children and, under a window manager's frames, their children.
    std::vector<xcb_window_t> windows{m_screen->root};
    for (std::size_t level = 0, first = 0; level < 3; ++level) {
        const std::size_t last = windows.size();
        for (std::size_t i = first; i < last; ++i) {
            xcb_query_tree_reply_t* tree =
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, windows[i]), nullptr);
            if (!tree)
                continue;
            const xcb_window_t* children = xcb_query_tree_children(tree);
            windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree));
            std::free(tree);
        }
        first = last;
    }
    std::optional<xcb_window_t> largest;
    int largestArea = 0;
    for (xcb_window_t window : windows) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (!shown || window == m_screen->root || !matches(window, classOrTitle))
            continue;
        const QRect rect = geometry(window);
        if (rect.width() * rect.height() > largestArea) {
            largest = window;
            largestArea = rect.width() * rect.height();
        }
    }
    return largest;
}

QRect X11Probe::geometry(xcb_window_t window)
{
    xcb_get_geometry_reply_t* size =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_screen->root, 0, 0), nullptr);
    const QRect rect = size && place ? QRect(place->dst_x, place->dst_y, size->width, size->height) : QRect();
    std::free(size);
    std::free(place);
    return rect;
}

QStringList X11Probe::states(xcb_window_t window)
{
    const QByteArray value = property(window, atom("_NET_WM_STATE"));
    QStringList names;
    for (qsizetype i = 0; i + 4 <= value.size(); i += 4) {
        xcb_atom_t state = 0;
        std::memcpy(&state, value.constData() + i, 4);
        names << atomName(state);
    }
    return names;
}

pid_t X11Probe::process(xcb_window_t window)
{
    const QByteArray value = property(window, atom("_NET_WM_PID"));
    std::uint32_t pid = 0;
    if (value.size() == 4)
        std::memcpy(&pid, value.constData(), 4);
    return static_cast<pid_t>(pid);
}
