#pragma once

#include <QProcess>
#include <QString>
#include <optional>

// A GTK 3 window with a text entry (tests/support/gtk-witness.py, run with python3-gi), shown on the Wayland
// compositor that WAYLAND_DISPLAY names: a window of another toolkit than the test's own, in a process of its own, as
// a browser is. It ends with this object.
class GtkWitness
{
public:
    struct State
    {
        bool focused;        // the entry has the keyboard focus
        QString text;        // what the entry holds
        double milliseconds; // from the entry's first change to its last
    };

    GtkWitness();
    ~GtkWitness();
    GtkWitness(const GtkWitness&) = delete;
    GtkWitness& operator=(const GtkWitness&) = delete;

    // Asks the window what it holds; nothing when it did not answer within a few seconds (it ended: a compositor
    // disconnects a client that falls behind).
    std::optional<State> state();
    // Waits up to the timeout, running the event loop, until the entry has the keyboard focus.
    bool waitForFocus(int timeoutMs);

private:
    QProcess m_process;
};
