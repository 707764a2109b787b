#pragma once

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

// The key sender in use: one installed by a test, otherwise this platform's own, made on first use.
// Throws KeySendError when the platform has none (no display to send to).
KeySender& keySender();
// Installs another key sender (a test's); null restores the platform's. The caller keeps ownership.
void setKeySender(KeySender* replacement);
// releaseIdleKeys of the platform's key sender, when it has been made.
void releaseIdleKeys();
// Ends the platform's key sender, when it has been made, giving back what it changed on the keyboard; the
// next use makes a new one.
void releasePlatformKeySender();

// This platform's key sender; defined by the backend that the build selects.
std::unique_ptr<KeySender> createPlatformKeySender();

} // namespace Keys
