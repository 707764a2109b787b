#pragma once

#include "TypedText.h"
#include "support/GtkWitness.h"
#include "support/PageServer.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class BrowserHome;

// The windows of the Wayland typing benchmarks, each of another toolkit: a Qt line edit in this process, a GTK entry
// and a text box in Debian's chromium in processes of their own, on the compositor that WAYLAND_DISPLAY names; and
// how much of a text typed into one arrived how fast.

struct Arrival
{
    QString text;
    double seconds = 0; // from the first character that arrived to the last
};

// A window that a benchmark types into, shown and given the focus by open().
class TypingWindow
{
public:
    virtual ~TypingWindow() = default;
    virtual bool open() = 0;
    // What has arrived so far; a window that went away keeps what it last told.
    virtual Arrival arrival() = 0;
};

class QtWindow : public TypingWindow
{
public:
    bool open() override;
    Arrival arrival() override;

private:
    QLineEdit m_editor;
    QElapsedTimer m_clock;
    qint64 m_lastChangeMs = 0;
};

// The compositor disconnects it when it falls behind: it then keeps what it held last.
class GtkWindow : public TypingWindow
{
public:
    bool open() override;
    Arrival arrival() override;

private:
    GtkWitness m_witness;
    Arrival m_last;
};

// Chromium running natively on Wayland, started as the desktop's browser of the home, with a new profile; ended with
// this object.
class ChromiumWindow : public TypingWindow
{
public:
    explicit ChromiumWindow(BrowserHome& home);
    ~ChromiumWindow() override;
    bool open() override;
    Arrival arrival() override;

private:
    BrowserHome& m_home;
    PageServer m_server;
    std::int64_t m_browser = 0;
};

// Starts the typing, lets the window take keys until the whole text arrived or nothing more came for a few seconds,
// and tells how much arrived in the right order, and how fast. ended waits for the typist.
Typing measure(TypingWindow& window, const QString& text, const std::function<void()>& start,
               const std::function<void()>& ended);

// Types the text with the key sender into the window, as a replay types it, and measures it.
Typing typedBy(Keys::KeySender& sender, TypingWindow& window, const QString& text);
