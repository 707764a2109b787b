#include "os/keys/WaylandKeySender.h"

#include "os/keys/WaylandKeyPace.h"
#include "os/keys/WaylandKeymap.h"
#include "os/shell/GraphicalSession.h"
#include "os/wayland/WaylandConnection.h"
#include "wayland/protocols/virtual-keyboard-unstable-v1-client.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <span>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace Keys {
namespace {

using namespace std::chrono_literals;

// Windows take up the virtual keyboard only once the seat has told them of it, which happens after its first
// keymap: keys sent before they have are lost. Measured on headless sway with a Qt window that takes its events
// every 10 ms: no pause loses the first keys always, 5 ms often, 10 ms never; a browser busy loading a page
// takes its events less often, hence the margin. A launch pays it once, at its first keys.
constexpr auto KeyboardSettleTime = 100ms;
// A compositor that takes no data for this long is taken as gone.
constexpr int FlushTimeoutMs = 5000;

constexpr const char* ManagerInterface = "zwp_virtual_keyboard_manager_v1";
constexpr std::uint32_t KeymapFormatXkbV1 = WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1;

[[noreturn]] void fail(const std::string& why)
{
    throw KeySendError("Keystrokes cannot be sent: " + why + ".");
}

std::string codePoint(char32_t character)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

// A sealed, read-only-to-others memory file holding the keymap text with its terminating zero, as the compositor
// maps it. -1 when the system has no room for it.
int keymapFile(const std::string& text, std::uint32_t& size)
{
    const int fd = memfd_create("quillock-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    size = static_cast<std::uint32_t>(text.size() + 1);
    const char* data = text.c_str();
    for (std::size_t written = 0; written < size;) {
        const ssize_t now = write(fd, data + written, size - written);
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0) {
            close(fd);
            return -1;
        }
        written += static_cast<std::size_t>(now);
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

std::uint32_t milliseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

// The connection with the virtual keyboard on it, and the keymap it carries.
class WaylandKeySender::Keyboard
{
public:
    // Connects, makes the keyboard with the first keymap and waits until windows have taken it up.
    explicit Keyboard(const WaylandKeymap& first);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Types the strokes; the keymaps are chosen for the strokes ahead, which begin with them.
    void type(const std::vector<KeyStroke>& strokes, std::span<const KeyStroke> ahead);

private:
    void connect(const WaylandKeymap& first);
    void destroy();
    void upload(WaylandKeymap keymap);
    void press(const KeyStroke& stroke);
    void key(std::uint32_t evdev, bool down);
    void setModifiers(std::uint32_t mask);
    void flush();
    void roundTrip();
    [[noreturn]] void broken();

    std::unique_ptr<Wayland::WaylandConnection> m_connection;
    wl_seat* m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1* m_manager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    WaylandKeymap m_keymap;
    WaylandKeyPace m_pace = virtualKeyboardPace();
    int m_strokesSinceRoundTrip = 0;
};

std::string WaylandKeySender::unavailableReason()
{
    if (std::string unreachable = Desktop::waylandDisplayUnavailableReason(); !unreachable.empty())
        return unreachable;
    const Wayland::WaylandConnection connection;
    if (!connection.isOpen())
        return "the Wayland compositor does not answer";
    if (!connection.offers(ManagerInterface))
        return "the compositor does not offer the virtual keyboard protocol (GNOME and KDE do not; the desktop "
               "portal serves them)";
    if (!connection.offers("wl_seat"))
        return "the compositor has no seat to type on";
    return {};
}

WaylandKeySender::WaylandKeySender() = default;

WaylandKeySender::~WaylandKeySender() = default;

void WaylandKeySender::send(const std::vector<KeyStroke>& strokes)
{
    for (const KeyStroke& stroke : strokes) {
        if (stroke.key == Key::Character && !WaylandKeymap::canType(stroke.character))
            fail("the character " + codePoint(stroke.character) + " has no key symbol");
    }
    try {
        const std::span<const KeyStroke> ahead = strokesAhead(strokes);
        if (!m_keyboard)
            m_keyboard = std::make_unique<Keyboard>(WaylandKeymap().nextFor(ahead, 0));
        m_keyboard->type(strokes, ahead);
        if (m_expectedSent == m_expected.size())
            expect({});
    } catch (const KeySendError&) {
        m_keyboard.reset(); // a broken connection is not used again
        throw;
    }
}

void WaylandKeySender::expect(const std::vector<KeyStroke>& strokes)
{
    m_expected = strokes;
    m_expectedSent = 0;
}

std::span<const KeyStroke> WaylandKeySender::strokesAhead(const std::vector<KeyStroke>& strokes)
{
    const std::span<const KeyStroke> expected = std::span(m_expected).subspan(m_expectedSent);
    if (strokes.size() > expected.size() || !std::equal(strokes.begin(), strokes.end(), expected.begin())) {
        expect({});
        return strokes;
    }
    m_expectedSent += strokes.size();
    return expected;
}

void WaylandKeySender::releaseIdleKeys()
{
    m_keyboard.reset();
    expect({});
}

WaylandKeySender::Keyboard::Keyboard(const WaylandKeymap& first)
{
    try {
        connect(first);
    } catch (const KeySendError&) {
        destroy();
        throw;
    }
}

WaylandKeySender::Keyboard::~Keyboard()
{
    destroy();
}

void WaylandKeySender::Keyboard::connect(const WaylandKeymap& first)
{
    if (const std::string unreachable = Desktop::waylandDisplayUnavailableReason(); !unreachable.empty())
        fail(unreachable);
    m_connection = std::make_unique<Wayland::WaylandConnection>();
    if (!m_connection->isOpen())
        fail("the Wayland compositor does not answer");
    m_seat = static_cast<wl_seat*>(m_connection->bind(wl_seat_interface, 1));
    m_manager =
        static_cast<zwp_virtual_keyboard_manager_v1*>(m_connection->bind(zwp_virtual_keyboard_manager_v1_interface, 1));
    if (!m_seat || !m_manager)
        fail("the compositor does not offer the virtual keyboard protocol or a seat");
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
    upload(first);
    if (!m_connection->roundTrip())
        fail("the Wayland compositor refused a virtual keyboard");
    std::this_thread::sleep_for(KeyboardSettleTime);
}

void WaylandKeySender::Keyboard::destroy()
{
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_connection && m_connection->isOpen())
        wl_display_flush(m_connection->display());
}

void WaylandKeySender::Keyboard::type(const std::vector<KeyStroke>& strokes, std::span<const KeyStroke> ahead)
{
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (strokes[i].key == Key::Character && !m_keymap.holds(strokes[i].character))
            upload(m_keymap.nextFor(ahead, i));
        m_pace.awaitNextStroke();
        press(strokes[i]);
        // Each stroke leaves whole, its keys released, so that a connection that breaks holds none down.
        flush();
        // After each batch the sender waits until the compositor has handled it (a round trip), so that keys leave
        // at the pace the compositor hands them on at, and never pile up in the socket.
        if (++m_strokesSinceRoundTrip == WaylandKeysPerBatch) {
            m_strokesSinceRoundTrip = 0;
            roundTrip();
        }
    }
}

void WaylandKeySender::Keyboard::upload(WaylandKeymap keymap)
{
    std::uint32_t size = 0;
    const int fd = keymapFile(keymap.text(), size);
    if (fd < 0)
        fail("the keymap could not be written to memory");
    zwp_virtual_keyboard_v1_keymap(m_keyboard, KeymapFormatXkbV1, fd, size);
    close(fd); // the request keeps a copy until it is sent
    flush();
    m_keymap = std::move(keymap);
}

void WaylandKeySender::Keyboard::press(const KeyStroke& stroke)
{
    const std::uint32_t code =
        stroke.key == Key::Character ? m_keymap.keyFor(stroke.character) : WaylandKeymap::keyOf(stroke.key);
    const std::uint32_t mask = WaylandKeymap::modifierMask(stroke.modifiers);
    std::vector<std::uint32_t> modifierKeys;
    if (mask & WaylandKeymap::ShiftMask)
        modifierKeys.push_back(WaylandKeymap::ShiftKey);
    if (mask & WaylandKeymap::ControlMask)
        modifierKeys.push_back(WaylandKeymap::ControlKey);
    if (mask & WaylandKeymap::AltMask)
        modifierKeys.push_back(WaylandKeymap::AltKey);

    for (std::uint32_t modifier : modifierKeys)
        key(modifier, true);
    if (mask)
        setModifiers(mask);
    key(code, true);
    key(code, false);
    for (auto modifier = modifierKeys.rbegin(); modifier != modifierKeys.rend(); ++modifier)
        key(*modifier, false);
    if (mask)
        setModifiers(0);
}

void WaylandKeySender::Keyboard::key(std::uint32_t evdev, bool down)
{
    zwp_virtual_keyboard_v1_key(m_keyboard, milliseconds(), evdev,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

void WaylandKeySender::Keyboard::setModifiers(std::uint32_t mask)
{
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, mask, 0, 0, 0);
}

// Hands everything queued to the compositor, waiting while its socket is full.
void WaylandKeySender::Keyboard::flush()
{
    while (wl_display_flush(m_connection->display()) < 0) {
        if (errno != EAGAIN)
            broken();
        pollfd socket{wl_display_get_fd(m_connection->display()), POLLOUT, 0};
        if (poll(&socket, 1, FlushTimeoutMs) <= 0 || (socket.revents & (POLLERR | POLLHUP)))
            broken();
    }
}

void WaylandKeySender::Keyboard::roundTrip()
{
    if (!m_connection->roundTrip())
        broken();
}

void WaylandKeySender::Keyboard::broken()
{
    fail("the connection to the Wayland compositor broke while typing");
}

} // namespace Keys
