#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// How the program picks the backend of an OS facility (the key sender, the shell, the window maximizer) when it
// runs: one program serves an X11 session, a Wayland session or Windows, and each backend knows whether it can
// serve the session at hand.
namespace Os {

// One way of providing a facility, and whether it can in this session.
template <class Facility>
struct Backend
{
    // Named in messages: "X11 (XTest)".
    std::string name;
    // Empty when the backend can serve this session, else why not ("DISPLAY is not set").
    std::function<std::string()> unavailableReason;
    std::function<std::unique_ptr<Facility>()> make;
};

// A facility's backends in the order of preference.
template <class Facility>
using Backends = std::vector<Backend<Facility>>;

// The entry of a backend class that tells with a static unavailableReason() and is made by its default
// constructor.
template <class Facility, class Concrete>
Backend<Facility> backend(std::string name)
{
    return {std::move(name), &Concrete::unavailableReason, [] { return std::make_unique<Concrete>(); }};
}

// Makes the first backend that can serve this session. When none can, throws Error with the sentence that says
// what cannot be done, followed by each backend's reason: "<cannot>: X11 (XTest): DISPLAY is not set."
template <class Error, class Facility>
std::unique_ptr<Facility> makeFirstAvailable(const Backends<Facility>& backends, const std::string& cannot)
{
    std::string reasons;
    for (const Backend<Facility>& candidate : backends) {
        const std::string reason = candidate.unavailableReason();
        if (reason.empty())
            return candidate.make();
        reasons += (reasons.empty() ? "" : "; ") + candidate.name + ": " + reason;
    }
    throw Error(cannot + ": " + (reasons.empty() ? "this build has no backend for it" : reasons) + ".");
}

// The facility in use: a replacement installed for a scope (a test's double), otherwise the program's own, made
// from the backends on first use, so that a program that never uses the facility needs nothing of the session,
// and kept until released, so that it can give back what it changed. A failed choice is not kept: the next use
// asks the backends again.
template <class Facility, class Error>
class ActiveFacility
{
public:
    ActiveFacility(Backends<Facility> (*backends)(), std::string cannot)
        : m_backends(backends), m_cannot(std::move(cannot))
    {}

    // Throws Error when no backend can serve.
    Facility& get()
    {
        if (m_replacement)
            return *m_replacement;
        if (!m_own)
            m_own = makeFirstAvailable<Error>(m_backends(), m_cannot);
        return *m_own;
    }
    // Null restores the program's own. The caller keeps ownership.
    void replace(Facility* replacement) { m_replacement = replacement; }
    // The program's own when it has been made, else null.
    Facility* own() const { return m_own.get(); }
    // Ends the program's own; the next use makes a new one.
    void release() { m_own.reset(); }

private:
    Backends<Facility> (*m_backends)();
    std::string m_cannot;
    Facility* m_replacement = nullptr;
    std::unique_ptr<Facility> m_own;
};

} // namespace Os
