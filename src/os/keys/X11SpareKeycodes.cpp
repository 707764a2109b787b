#include "os/keys/X11SpareKeycodes.h"

#include "os/keys/KeySender.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <thread>

namespace Keys {
namespace {

// Enough for the different missing characters of a long password; the rest stay free for others.
constexpr std::size_t MaxSpares = 10;

} // namespace

X11SpareKeycodes::X11SpareKeycodes(Display* display) : m_display(display)
{
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(m_display, &minKeycode, &maxKeycode);
    int keysymsPerKeycode = 0;
    const int count = maxKeycode - minKeycode + 1;
    KeySym* map = XGetKeyboardMapping(m_display, static_cast<KeyCode>(minKeycode), count, &keysymsPerKeycode);
    if (!map)
        return;
    // From the top of the range down: low keycodes are the ones keyboards really have.
    for (int i = count - 1; i >= 0 && m_spares.size() < MaxSpares; --i) {
        const KeySym* syms = map + i * keysymsPerKeycode;
        if (std::all_of(syms, syms + keysymsPerKeycode, [](KeySym sym) { return sym == NoSymbol; }))
            m_spares.push_back({static_cast<KeyCode>(minKeycode + i), NoSymbol, Clock::time_point()});
    }
    XFree(map);
}

X11SpareKeycodes::~X11SpareKeycodes()
{
    for (Spare& spare : m_spares) {
        if (spare.keysym != NoSymbol)
            setKeysym(spare, NoSymbol);
    }
    XFlush(m_display);
}

KeyCode X11SpareKeycodes::bind(KeySym keysym)
{
    for (Spare& spare : m_spares) {
        if (spare.keysym == keysym)
            return spare.keycode;
    }
    Spare& spare = chooseSpare();
    setKeysym(spare, keysym);
    return spare.keycode;
}

X11SpareKeycodes::Spare& X11SpareKeycodes::chooseSpare()
{
    if (m_spares.empty())
        throw KeySendError("The keyboard map has no free key to type characters it lacks.");
    const auto free =
        std::find_if(m_spares.begin(), m_spares.end(), [](const Spare& spare) { return spare.keysym == NoSymbol; });
    if (free != m_spares.end())
        return *free;
    Spare& idlest = *std::min_element(m_spares.begin(), m_spares.end(),
                                      [](const Spare& a, const Spare& b) { return a.lastUse < b.lastUse; });
    // Its last press may still be queued in the receiving window; rebinding now would garble it.
    std::this_thread::sleep_until(idlest.lastUse + RestoreDelay);
    return idlest;
}

void X11SpareKeycodes::noteUse(KeyCode keycode)
{
    for (Spare& spare : m_spares) {
        if (spare.keycode == keycode)
            spare.lastUse = Clock::now();
    }
}

bool X11SpareKeycodes::restoreIdle()
{
    bool changed = false;
    const Clock::time_point now = Clock::now();
    for (Spare& spare : m_spares) {
        if (spare.keysym != NoSymbol && now - spare.lastUse >= RestoreDelay) {
            setKeysym(spare, NoSymbol);
            changed = true;
        }
    }
    return changed;
}

void X11SpareKeycodes::setKeysym(Spare& spare, KeySym keysym)
{
    KeySym syms[] = {keysym};
    XChangeKeyboardMapping(m_display, spare.keycode, 1, syms, 1);
    spare.keysym = keysym;
    spare.lastUse = Clock::now();
}

} // namespace Keys
