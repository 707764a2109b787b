#include "os/focus/ForeignToplevelFocus.h"

#include "os/shell/GraphicalSession.h"
#include "os/wayland/WaylandConnection.h"

#include "wayland/protocols/wlr-foreign-toplevel-management-unstable-v1-client.h"

#include <cstring>
#include <map>

namespace Focus {
namespace {

constexpr const char* ManagerInterface = "zwlr_foreign_toplevel_manager_v1";

// The first version says all that is needed: app id, activation and closing.
constexpr std::uint32_t ManagerVersion = 1;

bool holdsActivated(const wl_array* states)
{
    const std::size_t count = states->size / sizeof(std::uint32_t);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t state = 0;
        std::memcpy(&state, static_cast<const char*>(states->data) + i * sizeof state, sizeof state);
        if (state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
            return true;
    }
    return false;
}

} // namespace

// The compositor's toplevels, through a connection of their own.
class ForeignToplevelFocus::Toplevels
{
public:
    Toplevels()
    {
        if (!m_connection.isOpen())
            return;
        m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            m_connection.bind(zwlr_foreign_toplevel_manager_v1_interface, ManagerVersion));
        if (!m_manager)
            return;
        static const zwlr_foreign_toplevel_manager_v1_listener listener{&Toplevels::opened, &Toplevels::finished};
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &listener, this);
        // The toplevels open now, and then their descriptions.
        m_listed = m_connection.roundTrip() && m_connection.roundTrip();
    }

    ~Toplevels()
    {
        for (auto& [id, toplevel] : m_toplevels)
            zwlr_foreign_toplevel_handle_v1_destroy(toplevel.handle);
        if (m_manager)
            zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }

    Toplevels(const Toplevels&) = delete;
    Toplevels& operator=(const Toplevels&) = delete;

    bool listed() const { return m_listed; }

    // Reads what the compositor said since the last time, through a round trip; false when the connection broke.
    bool update() { return m_listed && m_connection.roundTrip(); }

    // The active toplevel; of two (two seats), the one that became active last.
    std::optional<WindowId> active() const
    {
        std::optional<WindowId> latest;
        std::uint64_t latestAt = 0;
        for (const auto& [id, toplevel] : m_toplevels) {
            if (toplevel.activated && toplevel.activatedAt >= latestAt) {
                latest = id;
                latestAt = toplevel.activatedAt;
            }
        }
        return latest;
    }

    // The app id of an open toplevel (empty when it gave none); nothing for one that closed.
    std::optional<std::string> appIdOf(WindowId id) const
    {
        const auto found = m_toplevels.find(id);
        if (found == m_toplevels.end() || !found->second.described)
            return std::nullopt;
        return found->second.appId;
    }

private:
    // A toplevel as the compositor describes it: each change comes in parts and holds from the done event after them.
    // Its handle's listener is handed the toplevel itself, which stays in its place in the list until it closes.
    struct Toplevel
    {
        Toplevels* list = nullptr;
        WindowId id = 0;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::string appId;
        bool activated = false;
        std::uint64_t activatedAt = 0; // the count of activations when it became active
        bool described = false;        // a first done came
        std::string pendingAppId;
        bool pendingActivated = false;
    };

    static void opened(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle)
    {
        static const zwlr_foreign_toplevel_handle_v1_listener listener{
            &Toplevels::ignoreText, &Toplevels::appId, &Toplevels::ignoreOutput, &Toplevels::ignoreOutput,
            &Toplevels::state,      &Toplevels::done,  &Toplevels::closed,       &Toplevels::ignoreParent};
        auto* self = static_cast<Toplevels*>(data);
        const WindowId id = ++self->m_lastId;
        Toplevel& toplevel = self->m_toplevels[id];
        toplevel.list = self;
        toplevel.id = id;
        toplevel.handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, &toplevel);
    }

    // The compositor no longer tells: what was heard would grow stale, so nothing is told from now on.
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager)
    {
        auto* self = static_cast<Toplevels*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        self->m_manager = nullptr;
        self->m_listed = false;
    }

    static Toplevel& toplevelOf(void* data) { return *static_cast<Toplevel*>(data); }

    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId)
    {
        toplevelOf(data).pendingAppId = appId;
    }

    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states)
    {
        toplevelOf(data).pendingActivated = holdsActivated(states);
    }

    static void done(void* data, zwlr_foreign_toplevel_handle_v1*)
    {
        Toplevel& toplevel = toplevelOf(data);
        if (toplevel.pendingActivated && !toplevel.activated)
            toplevel.activatedAt = ++toplevel.list->m_activations;
        toplevel.appId = toplevel.pendingAppId;
        toplevel.activated = toplevel.pendingActivated;
        toplevel.described = true;
    }

    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* handle)
    {
        const Toplevel& toplevel = toplevelOf(data);
        Toplevels* list = toplevel.list;
        const WindowId id = toplevel.id; // not a reference into the node that is erased
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
        list->m_toplevels.erase(id);
    }

    static void ignoreText(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void ignoreOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void ignoreParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    Wayland::WaylandConnection m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    bool m_listed = false;
    std::map<WindowId, Toplevel> m_toplevels; // a node's place stays put
    WindowId m_lastId = 0;
    std::uint64_t m_activations = 0;
};

std::string ForeignToplevelFocus::unavailableReason()
{
    if (std::string unreachable = Desktop::waylandDisplayUnavailableReason(); !unreachable.empty())
        return unreachable;
    const Wayland::WaylandConnection connection;
    if (!connection.isOpen())
        return "the Wayland compositor does not answer";
    if (!connection.offers(ManagerInterface))
        return "the compositor does not tell which window is active (GNOME and KDE do not)";
    return {};
}

ForeignToplevelFocus::ForeignToplevelFocus() : m_toplevels(std::make_unique<Toplevels>())
{}

ForeignToplevelFocus::~ForeignToplevelFocus() = default;

bool ForeignToplevelFocus::canTell() const
{
    return m_toplevels->listed();
}

std::optional<WindowId> ForeignToplevelFocus::focusedWindow()
{
    return m_toplevels->update() ? m_toplevels->active() : std::nullopt;
}

WindowProgram ForeignToplevelFocus::programOf(WindowId window)
{
    const std::optional<std::string> appId = m_toplevels->appIdOf(window);
    if (!appId || appId->empty())
        return {};
    return {0, {*appId}, {}};
}

bool ForeignToplevelFocus::exists(WindowId window)
{
    return m_toplevels->update() && m_toplevels->appIdOf(window).has_value();
}

} // namespace Focus
