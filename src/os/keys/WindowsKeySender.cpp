#include "os/keys/WindowsKeySender.h"

namespace Keys {
namespace {

WORD virtualKeyFor(Key key)
{
    switch (key) {
    case Key::Enter:
        return VK_RETURN;
    case Key::Tab:
        return VK_TAB;
    case Key::Backspace:
        return VK_BACK;
    case Key::Delete:
        return VK_DELETE;
    case Key::Insert:
        return VK_INSERT;
    case Key::Escape:
        return VK_ESCAPE;
    case Key::Home:
        return VK_HOME;
    case Key::End:
        return VK_END;
    case Key::PageUp:
        return VK_PRIOR;
    case Key::PageDown:
        return VK_NEXT;
    case Key::Up:
        return VK_UP;
    case Key::Down:
        return VK_DOWN;
    case Key::Left:
        return VK_LEFT;
    case Key::Right:
        return VK_RIGHT;
    case Key::CapsLock:
        return VK_CAPITAL;
    case Key::NumLock:
        return VK_NUMLOCK;
    case Key::ScrollLock:
        return VK_SCROLL;
    case Key::PrintScreen:
        return VK_SNAPSHOT;
    case Key::Break:
        return VK_CANCEL;
    case Key::Help:
        return VK_HELP;
    default:
        break;
    }
    if (key >= Key::F1 && key <= Key::F16)
        return static_cast<WORD>(VK_F1 + (static_cast<int>(key) - static_cast<int>(Key::F1)));
    return 0;
}

// The keys that share their scan codes with the number pad's, or that Windows reports as extended.
bool isExtendedKey(WORD virtualKey)
{
    switch (virtualKey) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
    case VK_CANCEL:
        return true;
    default:
        return false;
    }
}

INPUT virtualKeyInput(WORD virtualKey, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (isExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void appendUnicode(std::vector<INPUT>& inputs, char32_t character)
{
    // Characters beyond the Basic Multilingual Plane go as their two UTF-16 halves.
    wchar_t units[2];
    int count = 1;
    if (character > 0xffff) {
        character -= 0x10000;
        units[0] = static_cast<wchar_t>(0xd800 + (character >> 10));
        units[1] = static_cast<wchar_t>(0xdc00 + (character & 0x3ff));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(character);
    }
    for (const bool down : {true, false}) {
        for (int i = 0; i < count; ++i) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(units[i]);
            input.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
            inputs.push_back(input);
        }
    }
}

// A key pressed with the modifiers held around it.
void appendKeyPress(std::vector<INPUT>& inputs, WORD virtualKey, unsigned modifiers)
{
    std::vector<WORD> held;
    if (modifiers & Shift)
        held.push_back(VK_SHIFT);
    if (modifiers & Control)
        held.push_back(VK_CONTROL);
    if (modifiers & Alt)
        held.push_back(VK_MENU);
    for (WORD key : held)
        inputs.push_back(virtualKeyInput(key, true));
    inputs.push_back(virtualKeyInput(virtualKey, true));
    inputs.push_back(virtualKeyInput(virtualKey, false));
    for (auto key = held.rbegin(); key != held.rend(); ++key)
        inputs.push_back(virtualKeyInput(*key, false));
}

// A character with modifiers: its key on the layout, with the Shift it needs added to those asked for. False when
// the layout has no key for it, or only one that needs more than Shift (AltGr is Ctrl+Alt, which would turn the
// modifiers asked for into another character): it then goes as Unicode input. So does a character beyond 16 bits,
// which VkKeyScanW cannot be asked about.
bool appendModifiedCharacter(std::vector<INPUT>& inputs, const KeyStroke& stroke)
{
    if (stroke.character > 0xffff)
        return false;
    const SHORT scan = VkKeyScanW(static_cast<wchar_t>(stroke.character));
    if (scan == -1 || (HIBYTE(scan) & ~1) != 0)
        return false;
    const unsigned modifiers = stroke.modifiers | ((HIBYTE(scan) & 1) ? Shift : NoModifier);
    appendKeyPress(inputs, LOBYTE(scan), modifiers);
    return true;
}

} // namespace

std::vector<INPUT> WindowsKeySender::inputsFor(const std::vector<KeyStroke>& strokes)
{
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : strokes) {
        if (stroke.key != Key::Character)
            appendKeyPress(inputs, virtualKeyFor(stroke.key), stroke.modifiers);
        else if (stroke.modifiers == NoModifier || !appendModifiedCharacter(inputs, stroke))
            appendUnicode(inputs, stroke.character);
    }
    return inputs;
}

void WindowsKeySender::send(const std::vector<KeyStroke>& strokes)
{
    std::vector<INPUT> inputs = inputsFor(strokes);
    if (inputs.empty())
        return;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw KeySendError("Keystrokes cannot be sent: another program blocks synthetic input (SendInput sent " +
                           std::to_string(sent) + " of " + std::to_string(inputs.size()) + " key events).");
}

} // namespace Keys
