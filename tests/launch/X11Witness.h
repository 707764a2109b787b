#pragma once

#include <QList>
#include <QProcess>
#include <QRect>
#include <QTest>
#include <QThread>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/prctl.h>
#include <vector>

// A test's witness of the windows on the display that DISPLAY names, looked at from the outside.
class X11Probe
{
public:
    X11Probe() : m_c(xcb_connect(nullptr, nullptr), &xcb_disconnect)
    {
        if (!xcb_connection_has_error(c()))
            m_screen = xcb_setup_roots_iterator(xcb_get_setup(c())).data;
    }

    QRect screen() const { return QRect(0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels); }
    bool windowManagerRuns() { return m_screen && words(m_screen->root, "_NET_SUPPORTING_WM_CHECK").size() == 1; }

    // The largest shown window, top-level or in a window manager's frame, whose WM_CLASS or title is the text.
    std::optional<xcb_window_t> findWindow(const QByteArray& classOrTitle)
    {
        std::vector<xcb_window_t> windows{m_screen->root};
        std::optional<xcb_window_t> largest;
        int largestArea = 0;
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const xcb_window_t window = windows[i];
            if (const auto tree = owned(xcb_query_tree_reply(c(), xcb_query_tree(c(), window), nullptr))) {
                const xcb_window_t* children = xcb_query_tree_children(tree.get());
                windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
            }
            const auto shown =
                owned(xcb_get_window_attributes_reply(c(), xcb_get_window_attributes(c(), window), nullptr));
            // WM_CLASS is two texts, each ended by a NUL: the instance name and the class name.
            const QList<QByteArray> names =
                (property(window, XCB_ATOM_WM_CLASS) + property(window, XCB_ATOM_WM_NAME)).split('\0');
            const QRect box = geometry(window);
            if (shown && shown->map_state == XCB_MAP_STATE_VIEWABLE && names.contains(classOrTitle) &&
                box.width() * box.height() > largestArea) {
                largest = window;
                largestArea = box.width() * box.height();
            }
        }
        return largest;
    }

    // The outer geometry in the parent: the screen, for a top-level window.
    QRect geometry(xcb_window_t window)
    {
        const auto reply = owned(xcb_get_geometry_reply(c(), xcb_get_geometry(c(), window), nullptr));
        return reply ? QRect(reply->x, reply->y, reply->width, reply->height) : QRect();
    }

    bool isMaximized(xcb_window_t window)
    {
        const std::vector<std::uint32_t> states = words(window, "_NET_WM_STATE");
        return std::ranges::count(states, atom("_NET_WM_STATE_MAXIMIZED_HORZ")) &&
               std::ranges::count(states, atom("_NET_WM_STATE_MAXIMIZED_VERT"));
    }

    pid_t process(xcb_window_t window)
    {
        const std::vector<std::uint32_t> pid = words(window, "_NET_WM_PID");
        return pid.size() == 1 ? static_cast<pid_t>(pid.front()) : 0;
    }

    // Asks the window manager to make the window active, as a pager does (a program's own request may be refused as
    // stealing the focus), until it holds the input focus, for a few seconds at most: a window manager may refuse soon
    // after keys came to another window. False when it never did.
    bool bringToFront(xcb_window_t window)
    {
        xcb_client_message_event_t request{};
        request.response_type = XCB_CLIENT_MESSAGE;
        request.format = 32;
        request.window = window;
        request.type = atom("_NET_ACTIVE_WINDOW");
        request.data.data32[0] = 2; // a pager
        return QTest::qWaitFor([&] {
            xcb_send_event(c(), 0, m_screen->root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&request));
            xcb_flush(c());
            QTest::qWait(100);
            const auto focus = owned(xcb_get_input_focus_reply(c(), xcb_get_input_focus(c()), nullptr));
            return focus && focus->focus == window;
        });
    }

private:
    xcb_connection_t* c() const { return m_c.get(); }

    template <typename Reply>
    static std::unique_ptr<Reply, void (*)(void*)> owned(Reply* reply)
    {
        return {reply, &std::free};
    }

    xcb_atom_t atom(const char* name)
    {
        const auto length = static_cast<std::uint16_t>(std::strlen(name));
        const auto reply = owned(xcb_intern_atom_reply(c(), xcb_intern_atom(c(), 0, length, name), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    QByteArray property(xcb_window_t window, xcb_atom_t name)
    {
        const auto reply = owned(xcb_get_property_reply(
            c(), xcb_get_property(c(), 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr));
        return reply ? QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                  xcb_get_property_value_length(reply.get()))
                     : QByteArray();
    }

    // A property of 32-bit items: atoms, windows or numbers.
    std::vector<std::uint32_t> words(xcb_window_t window, const char* name)
    {
        const QByteArray value = property(window, atom(name));
        std::vector<std::uint32_t> items(static_cast<std::size_t>(value.size()) / 4);
        if (!items.empty())
            std::memcpy(items.data(), value.constData(), items.size() * 4);
        return items;
    }

    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> m_c;
    xcb_screen_t* m_screen = nullptr;
};

// The openbox window manager on the display that DISPLAY names, started and announced as the display's window
// manager with the object, ended with it.
class Openbox
{
public:
    Openbox()
    {
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); }); // never outlive the test
        m_process.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        for (int attempt = 0; attempt < 200 && m_process.waitForStarted() && !isRunning(); ++attempt)
            QThread::msleep(50);
    }
    ~Openbox()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    bool isRunning() const { return X11Probe().windowManagerRuns(); }

private:
    QProcess m_process;
};
