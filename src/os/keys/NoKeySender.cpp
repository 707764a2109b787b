#include "os/keys/KeySender.h"

// The backend of a build without a keystroke facility (no XTest, no Windows).
std::unique_ptr<Keys::KeySender> Keys::createPlatformKeySender()
{
    throw KeySendError("This build of the program cannot send keystrokes: it has no keyboard backend.");
}
