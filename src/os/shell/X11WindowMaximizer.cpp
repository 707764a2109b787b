#include "os/shell/X11WindowMaximizer.h"

#include "os/shell/GraphicalSession.h"
#include "os/shell/ProcessTree.h"
#include "os/x11/XcbDisplay.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Finds the window through _NET_WM_PID, which X11 programs set on their top-level windows, and asks
// the window manager to maximize it the EWMH way (_NET_WM_STATE); with no window manager running, the
// window is moved and sized to cover the screen instead. A program still starting up may set its own
// size afterwards (restoring the size it had last time, say), so the watch goes on until the window has
// stayed maximized for a while, asking again when it is not.

namespace Desktop {
namespace {

using namespace std::chrono_literals;

constexpr auto PollInterval = 100ms;
constexpr auto RequestInterval = 500ms; // the time a request is given to take effect
constexpr auto SettleTime = 3s;         // maximized this long, the window stays so

constexpr std::uint32_t StateAdd = 1;          // _NET_WM_STATE action
constexpr std::uint32_t SourceApplication = 1; // the request comes from a program, not a pager

class X11Display
{
public:
    X11Display() = default;
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    bool isOpen() const { return m_x.isOpen(); }

    // The top-level window of the process or one of its children that is on the screen, if any.
    std::optional<xcb_window_t> shownWindowOf(pid_t process)
    {
        for (xcb_window_t window : topLevelWindows()) {
            const std::vector<std::uint32_t> pid = m_x.words(window, m_x.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
            if (!pid.empty() && isSameOrDescendant(pid.front(), static_cast<std::uint64_t>(process)) && isShown(window))
                return window;
        }
        return std::nullopt;
    }

    bool isMaximized(xcb_window_t window)
    {
        if (!windowManagerRuns()) {
            const std::optional<std::pair<std::uint32_t, std::uint32_t>> size = sizeOf(window);
            return size && size->first == m_x.screen().width_in_pixels && size->second == m_x.screen().height_in_pixels;
        }
        const std::vector<std::uint32_t> states = m_x.words(window, m_x.atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
        auto has = [&states](xcb_atom_t state) {
            return std::find(states.begin(), states.end(), state) != states.end();
        };
        return has(m_x.atom("_NET_WM_STATE_MAXIMIZED_VERT")) && has(m_x.atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
    }

    void maximize(xcb_window_t window)
    {
        if (windowManagerRuns())
            requestMaximizedState(window);
        else
            coverScreen(window);
        xcb_flush(m_x.connection());
    }

private:
    // The windows a window manager manages, or the children of the root window when none runs.
    std::vector<xcb_window_t> topLevelWindows()
    {
        const std::vector<std::uint32_t> managed =
            m_x.words(m_x.screen().root, m_x.atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
        if (windowManagerRuns())
            return {managed.begin(), managed.end()};
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(m_x.connection(), xcb_query_tree(m_x.connection(), m_x.screen().root), nullptr);
        std::vector<xcb_window_t> children;
        if (tree) {
            const xcb_window_t* first = xcb_query_tree_children(tree);
            children.assign(first, first + xcb_query_tree_children_length(tree));
        }
        std::free(tree);
        return children;
    }

    std::optional<std::pair<std::uint32_t, std::uint32_t>> sizeOf(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_x.connection(), xcb_get_geometry(m_x.connection(), window), nullptr);
        std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
        if (geometry)
            size = std::make_pair(std::uint32_t{geometry->width}, std::uint32_t{geometry->height});
        std::free(geometry);
        return size;
    }

    bool isShown(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            m_x.connection(), xcb_get_window_attributes(m_x.connection(), window), nullptr);
        const bool shown =
            attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && !attributes->override_redirect;
        std::free(attributes);
        return shown;
    }

    // A running EWMH window manager names a check window that names itself.
    bool windowManagerRuns()
    {
        const xcb_atom_t check = m_x.atom("_NET_SUPPORTING_WM_CHECK");
        const std::vector<std::uint32_t> named = m_x.words(m_x.screen().root, check, XCB_ATOM_WINDOW);
        if (named.empty())
            return false;
        const std::vector<std::uint32_t> self = m_x.words(named.front(), check, XCB_ATOM_WINDOW);
        return !self.empty() && self.front() == named.front();
    }

    void requestMaximizedState(xcb_window_t window)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = m_x.atom("_NET_WM_STATE");
        event.data.data32[0] = StateAdd;
        event.data.data32[1] = m_x.atom("_NET_WM_STATE_MAXIMIZED_VERT");
        event.data.data32[2] = m_x.atom("_NET_WM_STATE_MAXIMIZED_HORZ");
        event.data.data32[3] = SourceApplication;
        xcb_send_event(m_x.connection(), 0, m_x.screen().root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }

    void coverScreen(xcb_window_t window)
    {
        const std::uint32_t geometry[] = {0, 0, m_x.screen().width_in_pixels, m_x.screen().height_in_pixels};
        xcb_configure_window(
            m_x.connection(), window,
            XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, geometry);
    }

    X11::XcbDisplay m_x;
};

void watchFor(const std::stop_token& stop, pid_t process)
{
    using Clock = std::chrono::steady_clock;
    X11Display display;
    if (!display.isOpen())
        return;
    const Clock::time_point deadline = Clock::now() + X11WindowMaximizer::WatchTime;
    std::optional<xcb_window_t> window;
    bool maximized = false;
    Clock::time_point maximizedSince;
    Clock::time_point requested = Clock::now() - RequestInterval;
    for (; !stop.stop_requested() && Clock::now() < deadline; std::this_thread::sleep_for(PollInterval)) {
        if (!window)
            window = display.shownWindowOf(process);
        if (!window)
            continue;
        const Clock::time_point now = Clock::now();
        if (display.isMaximized(*window)) {
            if (!maximized)
                maximizedSince = now;
            maximized = true;
            if (now - maximizedSince >= SettleTime)
                return;
            continue;
        }
        maximized = false;
        if (now - requested >= RequestInterval) {
            display.maximize(*window);
            requested = now;
        }
    }
}

} // namespace

std::string X11WindowMaximizer::unavailableReason()
{
    // XWayland's display sees only X11 programs' windows, and Wayland lets no program size another's.
    if (waylandDisplayUnavailableReason().empty())
        return "this is a Wayland session, where one program cannot size another's window";
    return x11DisplayUnavailableReason();
}

void X11WindowMaximizer::maximizeWindowOf(pid_t process)
{
    std::erase_if(m_watches, [](const Watch& watch) { return watch.finished->load(); });
    auto finished = std::make_shared<std::atomic<bool>>(false);
    m_watches.push_back({finished, std::jthread([process, finished](const std::stop_token& stop) {
                             watchFor(stop, process);
                             *finished = true;
                         })});
}

} // namespace Desktop
