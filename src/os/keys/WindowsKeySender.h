#pragma once

#include "os/keys/KeySender.h"

#include <string>

namespace Keys {

// Types keys into the focused window with SendInput. Characters go as Unicode key events, which need no
// key of the keyboard layout; a character with Shift, Ctrl or Alt goes as the virtual key that the
// layout puts it on, so that shortcuts such as "^c" reach the window as the key combination, unless that key
// needs more than Shift (AltGr) or the layout has none: then it goes as Unicode input too.
class WindowsKeySender : public KeySender
{
public:
    // Windows always has SendInput: empty.
    static std::string unavailableReason() { return {}; }

    void send(const std::vector<KeyStroke>& strokes) override;
};

} // namespace Keys
