#include "os/keys/X11KeySender.h"

#include "os/keys/X11SpareKeycodes.h"
#include "os/shell/GraphicalSession.h"
#include "os/x11/FocusReader.h"
#include "os/x11/XcbDisplay.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <thread>

namespace Keys {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A window may take in a change of the keyboard map only some time after the change, once it has caught
// up with the keys sent before it: Chromium does. A key pressed at once on a spare just bound reaches such
// a window under the spare's old binding, and types the character the spare typed before, or nothing
// (measured in Chromium: about one rebound key in fifteen; none with a pause of 100 ms after each
// binding). So a key on a spare just bound is pressed only once the window has had time to take the keys
// before it, at the pace of a slow window, and then the new map.
constexpr Clock::duration SlowWindowKeyTime = 5ms; // 200 keys a second; Chromium takes 300 to 1,200
constexpr Clock::duration MapSettleTime = 200ms;

KeySym keysymForCharacter(char32_t c)
{
    // Latin-1 characters are their own keysyms; every other character has the Unicode keysym.
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return c;
    return 0x01000000 | c;
}

KeySym keysymForKey(Key key)
{
    switch (key) {
    case Key::Enter:
        return XK_Return;
    case Key::Tab:
        return XK_Tab;
    case Key::Backspace:
        return XK_BackSpace;
    case Key::Delete:
        return XK_Delete;
    case Key::Insert:
        return XK_Insert;
    case Key::Escape:
        return XK_Escape;
    case Key::Home:
        return XK_Home;
    case Key::End:
        return XK_End;
    case Key::PageUp:
        return XK_Prior;
    case Key::PageDown:
        return XK_Next;
    case Key::Up:
        return XK_Up;
    case Key::Down:
        return XK_Down;
    case Key::Left:
        return XK_Left;
    case Key::Right:
        return XK_Right;
    case Key::CapsLock:
        return XK_Caps_Lock;
    case Key::NumLock:
        return XK_Num_Lock;
    case Key::ScrollLock:
        return XK_Scroll_Lock;
    case Key::PrintScreen:
        return XK_Print;
    case Key::Break:
        return XK_Break;
    case Key::Help:
        return XK_Help;
    default:
        break;
    }
    if (key >= Key::F1 && key <= Key::F16)
        return XK_F1 + static_cast<KeySym>(static_cast<int>(key) - static_cast<int>(Key::F1));
    return NoSymbol; // Key::Character has no fixed keysym
}

// Why XOpenDisplay found no display.
std::string noDisplayReason()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "DISPLAY is not set";
    return "the X display \"" + std::string(name) + "\" cannot be opened";
}

// Empty when the display has the extensions that typing needs, else which it lacks. Gives XKB's event base.
std::string missingExtensionReason(Display* display, int& xkbEventBase)
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return "the X display lacks the XTest extension";
    int opcode = 0;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &xkbEventBase, &error, &xkbMajor, &xkbMinor))
        return "the X display lacks the XKB extension";
    return {};
}

// The shift level a key type gives under the modifiers (already masked to the type's own).
int levelFor(const XkbKeyTypeRec& type, unsigned modifiers)
{
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (entry.active && entry.mods.mask == modifiers)
            return entry.level;
    }
    return 0;
}

} // namespace

// The keyboard of the display: the connection, its map as last read, and the spare keycodes on loan.
class X11KeySender::Keyboard
{
public:
    Keyboard();
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Sends the strokes; with a window, each only while that window has the focus. False when it did not.
    bool send(const std::vector<KeyStroke>& strokes, std::optional<xcb_window_t> onlyInto);
    void releaseIdleKeys();

private:
    // The key to press for a keysym, and whether Shift must be held to reach it.
    struct KeyChoice
    {
        KeyCode keycode;
        bool shift;
    };

    void takeNotice();
    void handle(XEvent& event);
    void readKeymap();
    std::optional<KeyChoice> findKey(KeySym keysym) const;
    KeyChoice keyFor(KeySym keysym);
    void releaseHeldModifiers();
    bool press(const KeyStroke& stroke, std::optional<xcb_window_t> onlyInto);
    // Grabs the server, when not yet grabbed, and says whether the window has the focus.
    bool holdTheFocusOf(xcb_window_t window);
    // Ends the grab, if any.
    void letGo();
    void fakeKey(KeyCode keycode, bool down);

    Display* m_display = nullptr;
    // The same connection as xcb sees it: requests on both go to the server in the order they are made.
    std::unique_ptr<X11::XcbDisplay> m_xcb;
    std::unique_ptr<X11::FocusReader> m_focus;
    bool m_grabbed = false;
    std::unique_ptr<X11SpareKeycodes> m_spares;
    // When a slow window will have taken the keys sent so far.
    Clock::time_point m_keysTaken;
    XkbDescPtr m_keymap = nullptr;
    bool m_keymapStale = true;
    XModifierKeymap* m_modifierKeys = nullptr;
    int m_xkbEventBase = 0;
    // The layout group and modifiers, kept up to date by the server's notices.
    XkbStateRec m_state{};
};

std::string X11KeySender::unavailableReason()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return noDisplayReason();
    int xkbEventBase = 0;
    std::string reason = missingExtensionReason(display, xkbEventBase);
    XCloseDisplay(display);
    if (reason.empty() && Desktop::waylandDisplayUnavailableReason().empty())
        return "this is a Wayland session, where XTest reaches only the windows of X11 programs";
    return reason;
}

X11KeySender::X11KeySender() : m_keyboard(std::make_unique<Keyboard>())
{}

X11KeySender::~X11KeySender() = default;

void X11KeySender::send(const std::vector<KeyStroke>& strokes)
{
    m_keyboard->send(strokes, std::nullopt);
}

bool X11KeySender::sendOnlyInto(const std::vector<KeyStroke>& strokes, std::uint64_t window)
{
    if (window > std::numeric_limits<xcb_window_t>::max())
        return false; // no window of this display
    return m_keyboard->send(strokes, static_cast<xcb_window_t>(window));
}

void X11KeySender::releaseIdleKeys()
{
    m_keyboard->releaseIdleKeys();
}

X11KeySender::Keyboard::Keyboard()
{
    m_display = XOpenDisplay(nullptr);
    if (!m_display)
        throw KeySendError("Keystrokes cannot be sent: " + noDisplayReason() + ".");
    if (const std::string missing = missingExtensionReason(m_display, m_xkbEventBase); !missing.empty()) {
        XCloseDisplay(m_display);
        throw KeySendError("Keystrokes cannot be sent: " + missing + ".");
    }
    // Notices instead of questions: a round trip to the server for each key would halve the typing speed.
    const unsigned long mapNotices = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
    XkbSelectEvents(m_display, XkbUseCoreKbd, mapNotices, mapNotices);
    const unsigned long stateChanges =
        XkbModifierStateMask | XkbModifierBaseMask | XkbModifierLatchMask | XkbModifierLockMask | XkbGroupStateMask;
    XkbSelectEventDetails(m_display, XkbUseCoreKbd, XkbStateNotify, stateChanges, stateChanges);
    XkbGetState(m_display, XkbUseCoreKbd, &m_state);
    m_modifierKeys = XGetModifierMapping(m_display);
    m_spares = std::make_unique<X11SpareKeycodes>(m_display);
    m_xcb = std::make_unique<X11::XcbDisplay>(XGetXCBConnection(m_display), DefaultScreen(m_display));
    m_focus = std::make_unique<X11::FocusReader>(*m_xcb);
}

X11KeySender::Keyboard::~Keyboard()
{
    m_spares.reset(); // gives the lent keycodes back while the display is still open
    if (m_keymap)
        XkbFreeKeyboard(m_keymap, 0, True);
    XFreeModifiermap(m_modifierKeys);
    XCloseDisplay(m_display);
}

bool X11KeySender::Keyboard::send(const std::vector<KeyStroke>& strokes, std::optional<xcb_window_t> onlyInto)
{
    takeNotice();
    if (m_state.base_mods != 0)
        releaseHeldModifiers();
    bool sent = true;
    try {
        for (auto stroke = strokes.begin(); sent && stroke != strokes.end(); ++stroke)
            sent = press(*stroke, onlyInto);
    } catch (...) {
        letGo(); // the display must never stay grabbed
        throw;
    }
    letGo();
    XFlush(m_display);
    return sent;
}

// While the server is grabbed no other program's request is carried out, a change of focus included, and XTest
// delivers a key as it carries out the request: the keys pressed under one grab reach the window that its check
// saw. A grab lasts for the keys of one send, which a spare to bind cuts short.
bool X11KeySender::Keyboard::holdTheFocusOf(xcb_window_t window)
{
    if (m_grabbed)
        return true;
    XGrabServer(m_display);
    m_grabbed = true;
    // Asked over xcb on the same connection, after the grab that Xlib queued: xcb sends Xlib's requests first.
    return m_focus->focusedWindow() == window;
}

void X11KeySender::Keyboard::letGo()
{
    if (!m_grabbed)
        return;
    XUngrabServer(m_display);
    XFlush(m_display); // the other programs wait while the grab lasts
    m_grabbed = false;
}

void X11KeySender::Keyboard::releaseIdleKeys()
{
    if (m_spares->restoreIdle()) {
        m_keymapStale = true;
        XFlush(m_display);
    }
}

// Catches up with the display: the notices that arrived (keyboard map changed by anyone, layout group
// and modifiers). Spares are given back only once typing has paused (releaseIdleKeys): one given back in
// the middle of a text would be bound again at its next use, and so wait again.
void X11KeySender::Keyboard::takeNotice()
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        handle(event);
    }
    if (m_keymapStale)
        readKeymap();
}

void X11KeySender::Keyboard::handle(XEvent& event)
{
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request == MappingModifier) {
            XFreeModifiermap(m_modifierKeys);
            m_modifierKeys = XGetModifierMapping(m_display);
        }
        m_keymapStale = true;
        return;
    }
    if (event.type != m_xkbEventBase + XkbEventCode)
        return;
    const XkbEvent& xkb = reinterpret_cast<const XkbEvent&>(event);
    if (xkb.any.xkb_type == XkbStateNotify) {
        m_state.group = static_cast<unsigned char>(xkb.state.group);
        m_state.base_mods = static_cast<unsigned char>(xkb.state.base_mods);
        m_state.latched_mods = static_cast<unsigned char>(xkb.state.latched_mods);
        m_state.locked_mods = static_cast<unsigned char>(xkb.state.locked_mods);
    } else {
        m_keymapStale = true; // the map or the whole keyboard changed
    }
}

void X11KeySender::Keyboard::readKeymap()
{
    if (m_keymap)
        XkbFreeKeyboard(m_keymap, 0, True);
    m_keymap = XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!m_keymap)
        throw KeySendError("Keystrokes cannot be sent: the keyboard map of the X display cannot be read.");
    m_keymapStale = false;
}

std::optional<X11KeySender::Keyboard::KeyChoice> X11KeySender::Keyboard::findKey(KeySym keysym) const
{
    const unsigned lockedModifiers = m_state.locked_mods | m_state.latched_mods;
    for (int keycode = m_keymap->min_key_code; keycode <= m_keymap->max_key_code; ++keycode) {
        const int groups = XkbKeyNumGroups(m_keymap, keycode);
        if (groups == 0)
            continue;
        const int group = m_state.group % groups;
        const int levels = XkbKeyGroupWidth(m_keymap, keycode, group);
        for (int level = 0; level < levels && level < 2; ++level) {
            if (XkbKeySymEntry(m_keymap, keycode, level, group) != keysym)
                continue;
            const XkbKeyTypeRec& type = *XkbKeyKeyType(m_keymap, keycode, group);
            for (const bool shift : {false, true}) {
                const unsigned modifiers = (lockedModifiers | (shift ? ShiftMask : 0)) & type.mods.mask;
                if (levelFor(type, modifiers) == level)
                    return KeyChoice{static_cast<KeyCode>(keycode), shift};
            }
        }
    }
    return std::nullopt;
}

X11KeySender::Keyboard::KeyChoice X11KeySender::Keyboard::keyFor(KeySym keysym)
{
    if (const std::optional<KeyChoice> choice = findKey(keysym))
        return *choice;
    letGo(); // binding waits for the window to take the new map: the display must not stand still meanwhile
    m_spares->bind(keysym);
    readKeymap(); // a round trip: the server has applied the new binding when this returns
    std::this_thread::sleep_until(std::max(m_keysTaken, Clock::now()) + MapSettleTime);
    if (const std::optional<KeyChoice> choice = findKey(keysym))
        return *choice;
    throw KeySendError("Keystrokes cannot be sent: the keysym " + std::to_string(keysym) +
                       " could not be put on a key.");
}

// Modifier keys held down (by the user) would change the keys typed: they are released first.
void X11KeySender::Keyboard::releaseHeldModifiers()
{
    char keys[32];
    XQueryKeymap(m_display, keys);
    for (int i = 0; i < 8 * m_modifierKeys->max_keypermod; ++i) {
        const KeyCode keycode = m_modifierKeys->modifiermap[i];
        if (keycode != 0 && (keys[keycode / 8] & (1 << (keycode % 8))))
            fakeKey(keycode, false);
    }
}

bool X11KeySender::Keyboard::press(const KeyStroke& stroke, std::optional<xcb_window_t> onlyInto)
{
    const KeySym keysym =
        stroke.key == Key::Character ? keysymForCharacter(stroke.character) : keysymForKey(stroke.key);
    // Every key is looked up before anything is pressed, so a failure leaves nothing held.
    const KeyChoice key = keyFor(keysym);
    std::vector<KeyCode> modifiers;
    if (key.shift || (stroke.modifiers & Shift))
        modifiers.push_back(keyFor(XK_Shift_L).keycode);
    if (stroke.modifiers & Control)
        modifiers.push_back(keyFor(XK_Control_L).keycode);
    if (stroke.modifiers & Alt)
        modifiers.push_back(keyFor(XK_Alt_L).keycode);

    if (onlyInto && !holdTheFocusOf(*onlyInto))
        return false;
    for (KeyCode modifier : modifiers)
        fakeKey(modifier, true);
    fakeKey(key.keycode, true);
    fakeKey(key.keycode, false);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier)
        fakeKey(*modifier, false);
    m_spares->noteUse(key.keycode);
    m_keysTaken = std::max(m_keysTaken, Clock::now()) + SlowWindowKeyTime;
    // The keys after a lock key depend on the lock, so its new state is asked for rather than awaited.
    if (stroke.key == Key::CapsLock || stroke.key == Key::NumLock)
        XkbGetState(m_display, XkbUseCoreKbd, &m_state);
    return true;
}

void X11KeySender::Keyboard::fakeKey(KeyCode keycode, bool down)
{
    XTestFakeKeyEvent(m_display, keycode, down ? True : False, CurrentTime);
}

} // namespace Keys
