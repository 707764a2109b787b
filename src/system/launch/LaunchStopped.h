#pragma once

#include <exception>

// Why a launch ended before its last step.
class LaunchStopped : public std::exception
{
public:
    enum class Reason
    {
        Asked,            // the user or another launch asked for it: nothing more to say
        NotInFront,       // no browser window came to the front for the first key: nothing was typed
        OtherWindowFirst, // another window came to the front before the browser's: nothing was typed
        FocusLost,        // the keys would have gone to another window than the browser's it locked
        BrowserClosed     // the browser's window it locked closed
    };
    explicit LaunchStopped(Reason reason) : m_reason(reason) {}
    Reason reason() const { return m_reason; }
    const char* what() const noexcept override { return "The launch was stopped."; }

private:
    Reason m_reason;
};
