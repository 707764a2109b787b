#pragma once

#include <chrono>

namespace Keys {

// How fast the Wayland key senders (the virtual keyboard and the desktop portal) type. A compositor holds only so
// many events for a window that is busy, and disconnects a window that falls further behind ("Lost connection to
// Wayland compositor": a browser dies); no protocol tells a sender how far behind a window is. So keys go at a pace
// that the slowest window measured keeps up with: a GTK entry, whose work per key grows with the text it holds (it
// lays out its whole line: 0.2 ms a key at 100 characters, 0.75 ms at 1,000, 5.9 ms at 8,000, 22 ms at 32,000).
// Measured on headless sway 1.7 (libwayland 1.21) typing 8,000 characters into a GTK entry, on 2 cores shared with
// other builds (load 3 to 5): unpaced, the entry was disconnected after 755 characters; at a steady 500 a second
// after 6,223, at 1,000 a second after 4,107; at 500 a second slowed by 1 µs a key for each key typed before, all
// 8,000 arrived (231 a second), as they did into a Qt line edit (235) and chromium (231), where wtype typed 195 to
// 206 a second. Short texts go at the full pace: 1,000 characters at about 500 a second. Through KDE's portal, which
// has no back-pressure either, on headless KWin 5.27: unpaced (about 1,000 a second) chromium received none of 1,000
// characters; at the virtual keyboard's pace all 1,000 arrived in a Qt line edit (353 a second), a GTK entry (363)
// and chromium (383), and all 8,000 (213, 226 and 190 a second).
constexpr int WaylandKeysPerSecond = 500;
constexpr std::chrono::nanoseconds WaylandKeySlowdownPerKeyTyped = std::chrono::microseconds(1);
// The portals slow down twice as fast: with a build running beside KWin, a GTK entry was disconnected after 2,978
// characters of a 32,767-character text sent through KDE's portal at the virtual keyboard's slowdown (whose round
// trips give a lagging window more room); at this slowdown all 32,767 arrived (30 a second), and texts of 1,000 and
// 8,000 characters, with the test suite running beside, arrived whole on KWin and mutter (about 115 a second).
constexpr std::chrono::nanoseconds PortalKeySlowdownPerKeyTyped = std::chrono::microseconds(2);
// The virtual keyboard sends its keys in batches, back to back, with a round trip after each, and the pace is kept
// between batches: the compositor then hands a window many keys in each write, and the kernel holds about ten times
// more keys for a window that lags than when each key comes alone (the room a window has is counted by writes more
// than by bytes). The portals keep each key apart: a portal call waits for no compositor, and on KWin, with builds
// running beside it (load 3 to 10), batches of 32 got a GTK entry disconnected after 2,271 of 3,000 characters and
// left chromium 193 of them, where keys one by one all arrived.
constexpr int WaylandKeysPerBatch = 32;

// Spaces the batches of strokes of one typing evenly, at WaylandKeysPerSecond until the slowdown for the keys typed
// so far makes the gaps longer. A pause between sends earns no burst after it; a new pace (after typing paused for
// good, when a key sender gives back its keys) starts fast again.
class WaylandKeyPace
{
public:
    WaylandKeyPace(int strokesPerBatch, std::chrono::nanoseconds slowdownPerKeyTyped)
        : m_strokesPerBatch(strokesPerBatch), m_slowdownPerKeyTyped(slowdownPerKeyTyped)
    {}

    // Sleeps until the next stroke may go: at the start of each batch, until the time of the last one is over.
    void awaitNextStroke();

private:
    int m_strokesPerBatch;
    std::chrono::nanoseconds m_slowdownPerKeyTyped;
    std::chrono::steady_clock::time_point m_next{};
    long m_strokes = 0;
};

// The paces of the two kinds of sender.
inline WaylandKeyPace virtualKeyboardPace()
{
    return {WaylandKeysPerBatch, WaylandKeySlowdownPerKeyTyped};
}
inline WaylandKeyPace portalPace()
{
    return {1, PortalKeySlowdownPerKeyTyped};
}

} // namespace Keys
