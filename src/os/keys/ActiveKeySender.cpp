#include "os/keys/KeySender.h"

namespace Keys {
namespace {

KeySender* replacementSender = nullptr;

// Made on first use, so a program that never types needs no display; kept until the program releases it
// on its way out, so that the backend can restore the keyboard it changed.
std::unique_ptr<KeySender>& platformSender()
{
    static std::unique_ptr<KeySender> sender;
    return sender;
}

} // namespace

KeySender& keySender()
{
    if (replacementSender)
        return *replacementSender;
    if (!platformSender())
        platformSender() = createPlatformKeySender();
    return *platformSender();
}

void setKeySender(KeySender* replacement)
{
    replacementSender = replacement;
}

void releaseIdleKeys()
{
    if (platformSender())
        platformSender()->releaseIdleKeys();
}

void releasePlatformKeySender()
{
    platformSender().reset();
}

} // namespace Keys
