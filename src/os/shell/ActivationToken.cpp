#include "os/shell/ActivationToken.h"

#include <algorithm>

#ifdef QUILLOCK_HAVE_WAYLAND
#include "os/wayland/WaylandConnection.h"
#include "wayland/protocols/xdg-activation-v1-client.h"
#endif

namespace Desktop {

#ifdef QUILLOCK_HAVE_WAYLAND
namespace {

// The compositor hands the token out in an event on the token object it was asked with.
std::string requestToken(Wayland::WaylandConnection& wayland, const std::string& applicationId)
{
    auto* activation = static_cast<xdg_activation_v1*>(wayland.bind(xdg_activation_v1_interface, 1));
    if (!activation)
        return {};
    std::string token;
    static const xdg_activation_token_v1_listener listener{
        [](void* data, xdg_activation_token_v1*, const char* issued) { *static_cast<std::string*>(data) = issued; }};
    xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(activation);
    xdg_activation_token_v1_add_listener(request, &listener, &token);
    xdg_activation_token_v1_set_app_id(request, applicationId.c_str());
    xdg_activation_token_v1_commit(request);
    wayland.roundTrip();
    xdg_activation_token_v1_destroy(request);
    xdg_activation_v1_destroy(activation);
    wayland.roundTrip();
    return token;
}

} // namespace
#endif

std::vector<std::string> activationVariables(const std::string& applicationId)
{
#ifdef QUILLOCK_HAVE_WAYLAND
    Wayland::WaylandConnection wayland;
    if (!wayland.isOpen())
        return {};
    const std::string token = requestToken(wayland, applicationId);
    // A token is printable ASCII without blanks; anything else would not survive the environment intact.
    const auto unfit = [](unsigned char c) { return c <= ' ' || c > '~'; };
    if (token.empty() || std::any_of(token.begin(), token.end(), unfit))
        return {};
    return {"XDG_ACTIVATION_TOKEN=" + token, "DESKTOP_STARTUP_ID=" + token};
#else
    (void)applicationId;
    return {};
#endif
}

} // namespace Desktop
