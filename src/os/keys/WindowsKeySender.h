#pragma once

#include "os/keys/KeySender.h"

#include <windows.h>

#include <string>
#include <vector>

namespace Keys {

// Types keys into the focused window with SendInput. Characters go as Unicode key events, which need no
// key of the keyboard layout; a character with Shift, Ctrl or Alt goes as the virtual key that the
// layout puts it on, so that shortcuts such as "^c" reach the window as the key combination, unless that key
// needs more than Shift (AltGr) or the layout has none: then it goes as Unicode input too. The navigation keys
// (Insert, Delete, Home, End, Page Up and Down, the arrows) go as extended keys, as the keys beside the number pad
// do, so that they are not taken for the number pad's keys of the same codes.
class WindowsKeySender : public KeySender
{
public:
    // Windows always has SendInput: empty.
    static std::string unavailableReason() { return {}; }

    // The key events that send the strokes, every key pressed and released again, modifiers around them.
    static std::vector<INPUT> inputsFor(const std::vector<KeyStroke>& strokes);

    void send(const std::vector<KeyStroke>& strokes) override;
};

} // namespace Keys
