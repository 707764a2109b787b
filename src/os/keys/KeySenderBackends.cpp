#include "os/keys/KeySender.h"

#ifdef QUILLOCK_HAVE_WAYLAND
#include "os/keys/WaylandKeySender.h"
#endif
#ifdef QUILLOCK_HAVE_PORTAL
#include "os/keys/PortalKeySender.h"
#endif
#ifdef QUILLOCK_HAVE_XTEST
#include "os/keys/X11KeySender.h"
#endif
#ifdef _WIN32
#include "os/keys/WindowsKeySender.h"
#endif

namespace Keys {
namespace {

Os::ActiveFacility<KeySender, KeySendError>& active()
{
    static Os::ActiveFacility<KeySender, KeySendError> facility(keySenderBackends,
                                                                "Quillock cannot send keystrokes in this session");
    return facility;
}

} // namespace

Os::Backends<KeySender> keySenderBackends()
{
    // A build without any (no XTest found, say) has an empty list: typing then says that it cannot.
    return {
#ifdef QUILLOCK_HAVE_WAYLAND
        Os::backend<KeySender, WaylandKeySender>("Wayland (virtual keyboard)"),
#endif
#ifdef QUILLOCK_HAVE_PORTAL
        Os::backend<KeySender, PortalKeySender>("desktop portal (RemoteDesktop)"),
#endif
#ifdef QUILLOCK_HAVE_XTEST
        Os::backend<KeySender, X11KeySender>("X11 (XTest)"),
#endif
#ifdef _WIN32
        Os::backend<KeySender, WindowsKeySender>("Windows (SendInput)"),
#endif
    };
}

KeySender& keySender()
{
    return active().get();
}

void setKeySender(KeySender* replacement)
{
    active().replace(replacement);
}

void releaseIdleKeys()
{
    if (KeySender* own = active().own())
        own->releaseIdleKeys();
}

void releasePlatformKeySender()
{
    active().release();
}

} // namespace Keys
