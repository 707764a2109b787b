#include "os/x11/FocusReader.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace X11 {
namespace {

// Bounds on walking the window tree, which other programs shape: no real desktop comes near them.
constexpr int MostAncestors = 64;
constexpr std::size_t MostWindowsInAFrame = 256;

template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply)
{
    return {reply, &std::free};
}

// The texts of a property of NUL-ended texts (WM_CLASS: the instance name, then the class name).
std::vector<std::string> texts(const std::string& value)
{
    std::vector<std::string> items;
    for (std::size_t start = 0; start < value.size();) {
        const std::size_t end = std::min(value.find('\0', start), value.size());
        if (end > start)
            items.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

} // namespace

FocusReader::FocusReader(XcbDisplay& display) : m_x(display)
{
    if (!m_x.isOpen())
        return;
    m_activeWindow = m_x.atom("_NET_ACTIVE_WINDOW");
    m_supported = m_x.atom("_NET_SUPPORTED");
    m_pid = m_x.atom("_NET_WM_PID");
    m_wmState = m_x.atom("WM_STATE");
    m_startupId = m_x.atom("_NET_STARTUP_ID");
    m_utf8String = m_x.atom("UTF8_STRING");
    m_windowManagerSelection = m_x.atom(("WM_S" + std::to_string(m_x.screenNumber())).c_str());
}

std::optional<xcb_window_t> FocusReader::focusedWindow()
{
    if (!m_x.isOpen() || xcb_connection_has_error(m_x.connection()))
        return std::nullopt;
    const auto focus =
        owned(xcb_get_input_focus_reply(m_x.connection(), xcb_get_input_focus(m_x.connection()), nullptr));
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
        focus->focus == m_x.screen().root)
        return std::nullopt;
    if (focus->focus == m_lastInputFocus && m_lastFocused)
        return m_lastFocused;
    m_lastInputFocus = focus->focus;
    m_lastFocused = applicationWindowOf(focus->focus);
    return m_lastFocused;
}

Focus::WindowProgram FocusReader::programOf(xcb_window_t window)
{
    Focus::WindowProgram program;
    if (!m_x.isOpen())
        return program;
    if (const std::vector<std::uint32_t> pid = m_x.words(window, m_pid, XCB_ATOM_CARDINAL); pid.size() == 1)
        program.process = pid.front();
    program.classNames = texts(m_x.bytes(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
    program.startupId = m_x.bytes(window, m_startupId, m_utf8String);
    return program;
}

bool FocusReader::exists(xcb_window_t window)
{
    return m_x.isOpen() && owned(xcb_get_window_attributes_reply(
                               m_x.connection(), xcb_get_window_attributes(m_x.connection(), window), nullptr));
}

std::optional<xcb_window_t> FocusReader::applicationWindowOf(xcb_window_t inputFocus)
{
    const std::optional<xcb_window_t> topLevel = topLevelOf(inputFocus);
    if (!topLevel)
        return std::nullopt;
    // The window manager's word counts only where the keys go: a window that took the input focus behind its
    // back is the focused one.
    if (const std::optional<xcb_window_t> active = announcedActiveWindow(); active && topLevelOf(*active) == topLevel)
        return active;
    if (!windowManagerRuns())
        return topLevel;
    // Under a window manager, a top-level window without an application's window is the manager's own.
    return applicationWindowIn(*topLevel);
}

bool FocusReader::hasProperty(xcb_window_t window, xcb_atom_t name)
{
    const auto reply = owned(xcb_get_property_reply(
        m_x.connection(), xcb_get_property(m_x.connection(), 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    return reply && reply->type != XCB_NONE;
}

// The window's ancestor that is a child of the root window (the window itself when it is one).
std::optional<xcb_window_t> FocusReader::topLevelOf(xcb_window_t window)
{
    for (int depth = 0; depth < MostAncestors; ++depth) {
        const auto tree =
            owned(xcb_query_tree_reply(m_x.connection(), xcb_query_tree(m_x.connection(), window), nullptr));
        if (!tree || tree->parent == XCB_NONE)
            return std::nullopt;
        if (tree->parent == m_x.screen().root)
            return window;
        window = tree->parent;
    }
    return std::nullopt;
}

// The first window with WM_STATE in the tree of a top-level window, nearest first: the application's window
// that a window manager put in its frame, or the top-level window itself.
std::optional<xcb_window_t> FocusReader::applicationWindowIn(xcb_window_t topLevel)
{
    std::vector<xcb_window_t> windows{topLevel};
    for (std::size_t i = 0; i < windows.size() && i < MostWindowsInAFrame; ++i) {
        if (hasProperty(windows[i], m_wmState))
            return windows[i];
        const auto tree =
            owned(xcb_query_tree_reply(m_x.connection(), xcb_query_tree(m_x.connection(), windows[i]), nullptr));
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    return std::nullopt;
}

// _NET_ACTIVE_WINDOW, when the window manager says it keeps it up to date and it names a window.
std::optional<xcb_window_t> FocusReader::announcedActiveWindow()
{
    const std::vector<std::uint32_t> supported = m_x.words(m_x.screen().root, m_supported, XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), m_activeWindow) == supported.end())
        return std::nullopt;
    const std::vector<std::uint32_t> active = m_x.words(m_x.screen().root, m_activeWindow, XCB_ATOM_WINDOW);
    if (active.size() != 1 || active.front() == XCB_NONE)
        return std::nullopt;
    return active.front();
}

// A window manager owns the WM_Sn selection of its screen while it runs.
bool FocusReader::windowManagerRuns()
{
    const auto owner = owned(xcb_get_selection_owner_reply(
        m_x.connection(), xcb_get_selection_owner(m_x.connection(), m_windowManagerSelection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

} // namespace X11
