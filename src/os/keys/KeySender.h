#pragma once

#include "os/Backends.h"
#include "os/keys/KeyStroke.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace Keys {

// A platform's way of synthesizing key presses into the window that has the keyboard focus.
class KeySender
{
public:
    virtual ~KeySender() = default;

    // Queues the key presses for the focused window and returns without waiting for them to be
    // processed. No modifier stays held afterwards. Throws KeySendError when the keys cannot be sent.
    virtual void send(const std::vector<KeyStroke>& strokes) = 0;

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
