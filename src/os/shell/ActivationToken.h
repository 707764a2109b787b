#pragma once

#include <string>
#include <vector>

namespace Desktop {

// The variables that let a program started now take the keyboard focus on a Wayland desktop, which gives it to a
// new program only when its starter hands it a token from the compositor (xdg_activation_v1):
// XDG_ACTIVATION_TOKEN, and DESKTOP_STARTUP_ID for a program that runs under XWayland. Empty where the session
// offers no such token (an X11 session, a compositor without the protocol, a build without Wayland).
std::vector<std::string> activationVariables(const std::string& applicationId);

} // namespace Desktop
