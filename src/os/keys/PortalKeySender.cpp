#include "os/keys/PortalKeySender.h"

#include "os/keys/PortalRemoteDesktop.h"
#include "os/keys/WaylandKeyboardLayout.h"
#include "os/shell/GraphicalSession.h"
#include "os/wayland/WaylandConnection.h"

#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <thread>

namespace Keys {
namespace {

using namespace std::chrono_literals;

// How long a new session's keyboard may take to appear, how often to look, and how long windows then get to hear
// of it.
constexpr auto KeyboardWait = 2s;
constexpr auto KeyboardPoll = 10ms;
constexpr auto WindowsCatchUp = 100ms;

// GNOME's and KDE's portals both press a keysym on the first key of the active layout that holds it, adding Shift
// for the key's second level and AltGr for its third; a keysym they find higher up (Shift+AltGr) comes out as that
// key's plain character, without a word. So only the first three levels count.
constexpr xkb_level_index_t HighestLevelTyped = 2;

xkb_keysym_t keysymForKey(Key key)
{
    switch (key) {
    case Key::Enter:
        return XKB_KEY_Return;
    case Key::Tab:
        return XKB_KEY_Tab;
    case Key::Backspace:
        return XKB_KEY_BackSpace;
    case Key::Delete:
        return XKB_KEY_Delete;
    case Key::Insert:
        return XKB_KEY_Insert;
    case Key::Escape:
        return XKB_KEY_Escape;
    case Key::Home:
        return XKB_KEY_Home;
    case Key::End:
        return XKB_KEY_End;
    case Key::PageUp:
        return XKB_KEY_Prior;
    case Key::PageDown:
        return XKB_KEY_Next;
    case Key::Up:
        return XKB_KEY_Up;
    case Key::Down:
        return XKB_KEY_Down;
    case Key::Left:
        return XKB_KEY_Left;
    case Key::Right:
        return XKB_KEY_Right;
    case Key::CapsLock:
        return XKB_KEY_Caps_Lock;
    case Key::NumLock:
        return XKB_KEY_Num_Lock;
    case Key::ScrollLock:
        return XKB_KEY_Scroll_Lock;
    case Key::PrintScreen:
        return XKB_KEY_Print;
    case Key::Break:
        return XKB_KEY_Break;
    case Key::Help:
        return XKB_KEY_Help;
    default:
        break;
    }
    if (key >= Key::F1 && key <= Key::F16)
        return XKB_KEY_F1 + static_cast<xkb_keysym_t>(static_cast<int>(key) - static_cast<int>(Key::F1));
    return XKB_KEY_NoSymbol;
}

xkb_keysym_t keysymFor(const KeyStroke& stroke)
{
    return stroke.key == Key::Character ? xkb_utf32_to_keysym(stroke.character) : keysymForKey(stroke.key);
}

// The keysyms a stroke presses in order: its modifiers, then its key.
std::vector<xkb_keysym_t> pressesOf(const KeyStroke& stroke)
{
    std::vector<xkb_keysym_t> presses;
    if (stroke.modifiers & Shift)
        presses.push_back(XKB_KEY_Shift_L);
    if (stroke.modifiers & Control)
        presses.push_back(XKB_KEY_Control_L);
    if (stroke.modifiers & Alt)
        presses.push_back(XKB_KEY_Alt_L);
    presses.push_back(keysymFor(stroke));
    return presses;
}

} // namespace

std::string PortalKeySender::unavailableReason()
{
    if (std::string why = Desktop::waylandDisplayUnavailableReason(); !why.empty())
        return why;
    return PortalRemoteDesktop::unavailableReason();
}

PortalKeySender::PortalKeySender() : m_desktop(std::make_unique<PortalRemoteDesktop>())
{}

PortalKeySender::~PortalKeySender()
{
    m_layout.reset(); // before its connection
}

void PortalKeySender::prepare(const Preparation& preparation)
{
    if (m_desktop->isStarted())
        return;
    m_desktop->start(preparation);
    awaitKeyboard(preparation);
}

// A desktop without a keyboard of its own (a headless one) adds the session's keyboard only with its first key, and
// a window takes keys only once it has been told of that keyboard: keys sent sooner are lost. So a key that types
// nothing (Shift) is pressed first, then this waits until the compositor shows a keyboard to this program too, and
// a moment more for the other windows, whose event loops run meanwhile.
void PortalKeySender::awaitKeyboard(const Preparation& preparation)
{
    m_desktop->notifyKeysym(XKB_KEY_Shift_L, true);
    m_desktop->notifyKeysym(XKB_KEY_Shift_L, false);
    const auto wait = [&preparation] {
        if (preparation.whileWaiting)
            preparation.whileWaiting();
        std::this_thread::sleep_for(KeyboardPoll);
    };
    const auto start = std::chrono::steady_clock::now();
    while (!keymap() && std::chrono::steady_clock::now() - start < KeyboardWait)
        wait();
    for (const auto shown = std::chrono::steady_clock::now();
         std::chrono::steady_clock::now() - shown < WindowsCatchUp;)
        wait();
}

xkb_keymap* PortalKeySender::keymap()
{
    if (!m_layout) {
        m_wayland = std::make_unique<Wayland::WaylandConnection>();
        if (!m_wayland->isOpen())
            return nullptr;
        m_layout = std::make_unique<WaylandKeyboardLayout>(*m_wayland);
    }
    return m_layout->keymap();
}

std::optional<char32_t> PortalKeySender::firstUntypable(const std::vector<KeyStroke>& strokes)
{
    xkb_keymap* keymap = this->keymap();
    if (!keymap)
        return std::nullopt;
    for (const KeyStroke& stroke : strokes) {
        if (stroke.key != Key::Character)
            continue;
        const auto level = firstLevelOf(keymap, m_layout->activeLayout(), keysymFor(stroke));
        if (!level || *level > HighestLevelTyped)
            return stroke.character;
    }
    return std::nullopt;
}

void PortalKeySender::send(const std::vector<KeyStroke>& strokes)
{
    for (const KeyStroke& stroke : strokes) {
        if (keysymFor(stroke) == XKB_KEY_NoSymbol)
            throw KeySendError("Keystrokes cannot be sent: a character has no key symbol.");
    }
    if (!m_desktop->isStarted())
        prepare(Preparation{[] {}, {}, {}});
    for (const KeyStroke& stroke : strokes) {
        const std::vector<xkb_keysym_t> presses = pressesOf(stroke);
        m_pace.awaitNextStroke();
        std::size_t held = 0;
        try {
            for (; held < presses.size(); ++held)
                m_desktop->notifyKeysym(presses[held], true);
            for (; held > 0; --held)
                m_desktop->notifyKeysym(presses[held - 1], false);
        } catch (const KeySendError&) {
            for (; held > 0; --held) { // a key left down would go on repeating
                try {
                    m_desktop->notifyKeysym(presses[held - 1], false);
                } catch (const KeySendError&) {
                }
            }
            throw;
        }
    }
}

} // namespace Keys
