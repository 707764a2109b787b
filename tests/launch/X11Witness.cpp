#include "X11Witness.h"

#include <QByteArrayList>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>

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

std::vector<std::uint32_t> X11Probe::items(xcb_window_t window, const char* name)
{
    const QByteArray value = property(window, atom(name));
    std::vector<std::uint32_t> items(static_cast<std::size_t>(value.size()) / 4);
    if (!items.empty())
        std::memcpy(items.data(), value.constData(), items.size() * 4);
    return items;
}

bool X11Probe::windowManagerRuns()
{
    return m_screen && items(m_screen->root, "_NET_SUPPORTING_WM_CHECK").size() == 1;
}

bool X11Probe::matches(xcb_window_t window, const QString& classOrTitle)
{
    // WM_CLASS holds two texts, each ended by a NUL: the instance name and the class name.
    const QList<QByteArray> classes = property(window, XCB_ATOM_WM_CLASS).split('\0');
    const QByteArray wanted = classOrTitle.toUtf8();
    return classes.contains(wanted) || property(window, XCB_ATOM_WM_NAME) == wanted;
}

std::optional<xcb_window_t> X11Probe::findWindow(const QString& classOrTitle)
{
    if (!m_screen)
        return std::nullopt;
    // Every window below the root, those in a window manager's frames included.
    std::vector<xcb_window_t> windows{m_screen->root};
    for (std::size_t i = 0; i < windows.size(); ++i) {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, windows[i]), nullptr);
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
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
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    const QRect rect = reply ? QRect(reply->x, reply->y, reply->width, reply->height) : QRect();
    std::free(reply);
    return rect;
}

bool X11Probe::isMaximized(xcb_window_t window)
{
    const std::vector<std::uint32_t> states = items(window, "_NET_WM_STATE");
    auto has = [&](const char* state) { return std::ranges::find(states, atom(state)) != states.end(); };
    return has("_NET_WM_STATE_MAXIMIZED_HORZ") && has("_NET_WM_STATE_MAXIMIZED_VERT");
}

pid_t X11Probe::process(xcb_window_t window)
{
    const std::vector<std::uint32_t> pid = items(window, "_NET_WM_PID");
    return pid.size() == 1 ? static_cast<pid_t>(pid.front()) : 0;
}

Openbox::Openbox()
{
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); }); // never outlive the test
    m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!m_process.waitForStarted())
        return;
    X11Probe probe;
    for (int attempt = 0; attempt < 200 && !m_running; ++attempt) {
        m_running = probe.windowManagerRuns();
        if (!m_running)
            QThread::msleep(50);
    }
}
