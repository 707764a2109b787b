#pragma once

#include "os/Backends.h"
#include "os/keys/KeyStroke.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Keys {

// What the program lends a key sender that must ask the session before it may type (the desktop portal asks the
// user's consent in a dialog of its own).
struct Preparation
{
    // Runs the program's event loop for a moment while the key sender waits for the session's answer; throws to
    // give up waiting (the launch was stopped), and the exception passes through prepare() unchanged.
    std::function<void()> whileWaiting;
    // Reads the permission the session granted in an earlier run and the program kept; empty when there is none.
    // Only a key sender that asks for permission calls it.
    std::function<std::string()> savedPermission;
    // Keeps the permission the session granted now, for the next run; called only when it changed.
    std::function<void(const std::string&)> keepPermission;
};

// A platform's way of synthesizing key presses into the window that has the keyboard focus.
class KeySender
{
public:
    virtual ~KeySender() = default;

    // Gets ready to type, before the browser is opened: asks the session for what typing needs (the user's
    // consent), waiting with the event loop running. Throws KeySendError, saying why, when the session refuses.
    // A key sender that needs nothing does nothing.
    virtual void prepare(const Preparation& preparation) { (void)preparation; }

    // The first character of the strokes that this session's keyboard cannot type, which would be dropped without
    // a word; nothing when all can be typed. Asked before anything is typed.
    virtual std::optional<char32_t> firstUntypable(const std::vector<KeyStroke>& strokes)
    {
        (void)strokes;
        return std::nullopt;
    }

    // Tells the sender the strokes that its next sends will type a few at a time (a text typed a character per
    // send, each checked just before), so that a sender that chooses keys for characters chooses them for the whole
    // text rather than send by send. Forgotten as they are sent, or when a send types something else.
    virtual void expect(const std::vector<KeyStroke>& strokes) { (void)strokes; }

    // Queues the key presses for the focused window and returns without waiting for them to be
    // processed. No modifier stays held afterwards. Throws KeySendError when the keys cannot be sent.
    virtual void send(const std::vector<KeyStroke>& strokes) = 0;

    // As send, but each key only into the window (named as the session's window focus names it) where the session
    // lets the key sender check the focus at the very moment of the key: on X11 the server is held for the check and
    // the key, so that no window can take the focus in between. Returns false, with that key and the ones after it
    // not sent, when the window did not hold the focus. A key sender that cannot check sends as send does and
    // returns true: there the caller's own check just before is all there is.
    virtual bool sendOnlyInto(const std::vector<KeyStroke>& strokes, std::uint64_t window)
    {
        (void)window;
        send(strokes);
        return true;
    }
    // Whether sendOnlyInto checks the window at the moment of the keys.
    virtual bool checksTheWindowAtTheKeys() const { return false; }

    // Gives back what the backend borrowed for typing (keys bound to characters the keyboard lacks) once
    // it has been idle long enough for the keys sent to be taken. Called a few seconds after typing.
    virtual void releaseIdleKeys() {}
};

class KeySendError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The key sender in use: one installed by a test, otherwise the first of keySenderBackends() that can serve this
// session, made on first use. Throws KeySendError, with each backend's reason, when none can.
KeySender& keySender();
// Installs another key sender (a test's); null restores the program's own. The caller keeps ownership.
void setKeySender(KeySender* replacement);
// releaseIdleKeys of the program's own key sender, when it has been made.
void releaseIdleKeys();
// Ends the program's own key sender, when it has been made, giving back what it changed on the keyboard; the
// next use makes a new one.
void releasePlatformKeySender();

// The key senders this build has, in the order they are tried.
Os::Backends<KeySender> keySenderBackends();

} // namespace Keys
