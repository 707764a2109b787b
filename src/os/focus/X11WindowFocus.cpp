#include "os/focus/X11WindowFocus.h"

#include "os/shell/GraphicalSession.h"
#include "os/x11/XcbDisplay.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace Focus {
namespace {

// Bounds on walking the window tree, which other programs shape: no real desktop comes near them.
constexpr int MostAncestors = 64;
constexpr std::size_t MostWindowsInAFrame = 256;

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
Owned<Reply> owned(Reply* reply)
{
    return {reply, &std::free};
}

} // namespace

class X11WindowFocus::Display
{
public:
    Display()
    {
        if (!m_x.isOpen())
            return;
        m_root = m_x.screen().root;
        m_activeWindow = m_x.atom("_NET_ACTIVE_WINDOW");
        m_supported = m_x.atom("_NET_SUPPORTED");
        m_pid = m_x.atom("_NET_WM_PID");
        m_wmState = m_x.atom("WM_STATE");
        m_windowManagerSelection = m_x.atom(("WM_S" + std::to_string(m_x.screenNumber())).c_str());
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Whether the connection was made; it may break later, and then no window has the focus.
    bool wasOpened() const { return m_x.isOpen(); }

    std::optional<xcb_window_t> focusedWindow()
    {
        if (!m_x.isOpen() || xcb_connection_has_error(m_x.connection()))
            return std::nullopt;
        const auto focus =
            owned(xcb_get_input_focus_reply(m_x.connection(), xcb_get_input_focus(m_x.connection()), nullptr));
        if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ||
            focus->focus == m_root)
            return std::nullopt;
        const std::optional<xcb_window_t> topLevel = topLevelOf(focus->focus);
        if (!topLevel)
            return std::nullopt;
        // The window manager's word counts only where the keys go: a window that took the input focus behind its
        // back is the focused one.
        if (const std::optional<xcb_window_t> active = announcedActiveWindow();
            active && topLevelOf(*active) == topLevel)
            return active;
        if (!windowManagerRuns())
            return topLevel;
        // Under a window manager, a top-level window without an application's window is the manager's own.
        return applicationWindowIn(*topLevel);
    }

    bool isOwnWindow(xcb_window_t window)
    {
        const std::vector<std::uint32_t> pid = m_x.words(window, m_pid, XCB_ATOM_CARDINAL);
        return pid.size() == 1 && pid.front() == static_cast<std::uint32_t>(getpid());
    }

private:
    bool hasProperty(xcb_window_t window, xcb_atom_t name)
    {
        const auto reply = owned(xcb_get_property_reply(
            m_x.connection(), xcb_get_property(m_x.connection(), 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
            nullptr));
        return reply && reply->type != XCB_NONE;
    }

    // The window's ancestor that is a child of the root window (the window itself when it is one).
    std::optional<xcb_window_t> topLevelOf(xcb_window_t window)
    {
        for (int depth = 0; depth < MostAncestors; ++depth) {
            const auto tree =
                owned(xcb_query_tree_reply(m_x.connection(), xcb_query_tree(m_x.connection(), window), nullptr));
            if (!tree || tree->parent == XCB_NONE)
                return std::nullopt;
            if (tree->parent == m_root)
                return window;
            window = tree->parent;
        }
        return std::nullopt;
    }

    // The first window with WM_STATE in the tree of a top-level window, nearest first: the application's window
    // that a window manager put in its frame, or the top-level window itself.
    std::optional<xcb_window_t> applicationWindowIn(xcb_window_t topLevel)
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
    std::optional<xcb_window_t> announcedActiveWindow()
    {
        const std::vector<std::uint32_t> supported = m_x.words(m_root, m_supported, XCB_ATOM_ATOM);
        if (std::find(supported.begin(), supported.end(), m_activeWindow) == supported.end())
            return std::nullopt;
        const std::vector<std::uint32_t> active = m_x.words(m_root, m_activeWindow, XCB_ATOM_WINDOW);
        if (active.size() != 1 || active.front() == XCB_NONE)
            return std::nullopt;
        return active.front();
    }

    // A window manager owns the WM_Sn selection of its screen while it runs.
    bool windowManagerRuns()
    {
        const auto owner = owned(xcb_get_selection_owner_reply(
            m_x.connection(), xcb_get_selection_owner(m_x.connection(), m_windowManagerSelection), nullptr));
        return owner && owner->owner != XCB_NONE;
    }

    X11::XcbDisplay m_x;
    xcb_window_t m_root = XCB_NONE;
    xcb_atom_t m_activeWindow = XCB_ATOM_NONE;
    xcb_atom_t m_supported = XCB_ATOM_NONE;
    xcb_atom_t m_pid = XCB_ATOM_NONE;
    xcb_atom_t m_wmState = XCB_ATOM_NONE;
    xcb_atom_t m_windowManagerSelection = XCB_ATOM_NONE;
};

std::string X11WindowFocus::unavailableReason()
{
    if (std::string x11 = Desktop::x11DisplayUnavailableReason(); !x11.empty())
        return x11;
    if (Desktop::waylandDisplayUnavailableReason().empty())
        return "this is a Wayland session, where the X display sees only the windows of X11 programs";
    return {};
}

X11WindowFocus::X11WindowFocus() : m_display(std::make_unique<Display>())
{}

X11WindowFocus::~X11WindowFocus() = default;

bool X11WindowFocus::canTell() const
{
    return m_display->wasOpened();
}

std::optional<WindowId> X11WindowFocus::focusedWindow()
{
    return m_display->focusedWindow();
}

bool X11WindowFocus::isOwnWindow(WindowId window)
{
    return window <= std::numeric_limits<xcb_window_t>::max() &&
           m_display->isOwnWindow(static_cast<xcb_window_t>(window));
}

} // namespace Focus
