#include "Check.h"

#include "os/keys/KeyString.h"
#include "os/keys/WindowsKeySender.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using Keys::Key;
using Keys::KeyStroke;

namespace {

// The field cipher's alphabet: printable ASCII other than the double quote in the cipher's order, then carriage
// return, line feed and the double quote.
const std::wstring CipherAlphabet = L"]N:[7Zo2!LHycXt,gn*4S^C_Ok+V\\e`PD<mdpx8UM{$b Q}-#i0I~FG'"
                                    L"53Af/hWja;z9&rBwJu.lq%6ET(>@sYKR|v1=)?\r\n\"";

// A sign-in form: user name and password boxes, and a box of many lines for text with line breaks. Enter in a
// one-line box reaches the window as its default button (IDOK), as in a dialog.
class SignInWindow
{
public:
    SignInWindow()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &SignInWindow::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuillockSignIn";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(WS_EX_CONTROLPARENT, L"QuillockSignIn", L"Sign in", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                                   400, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const DWORD box = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        user = CreateWindowExW(0, L"EDIT", L"", box, 10, 10, 560, 24, m_window, nullptr, nullptr, nullptr);
        password =
            CreateWindowExW(0, L"EDIT", L"", box | ES_PASSWORD, 10, 44, 560, 24, m_window, nullptr, nullptr, nullptr);
        lines = CreateWindowExW(0, L"EDIT", L"", box | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 10, 78, 560, 260,
                                m_window, nullptr, nullptr, nullptr);
        ShowWindow(m_window, SW_SHOW);
        SetForegroundWindow(m_window);
        pumpFor(300);
    }
    ~SignInWindow() { DestroyWindow(m_window); }
    SignInWindow(const SignInWindow&) = delete;
    SignInWindow& operator=(const SignInWindow&) = delete;

    // Empties the boxes and puts the focus in one.
    void startIn(HWND box)
    {
        for (HWND each : {user, password, lines})
            SetWindowTextW(each, L"");
        defaultButtonPresses = 0;
        SetForegroundWindow(m_window);
        SetFocus(box);
        pumpFor(100);
    }

    // Handles the window's messages, as a dialog does, until the condition holds or 5 s have passed.
    bool pumpUntil(const std::function<bool()>& condition)
    {
        const ULONGLONG end = GetTickCount64() + 5000;
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(m_window, &message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            if (condition())
                return true;
            if (GetTickCount64() > end)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    void pumpFor(int milliseconds)
    {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
        pumpUntil([end] { return GetTickCount64() > end; });
    }

    static std::wstring textOf(HWND box)
    {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    HWND user = nullptr;
    HWND password = nullptr;
    HWND lines = nullptr;
    int defaultButtonPresses = 0;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<SignInWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_COMMAND && LOWORD(wParam) == IDOK)
            ++self->defaultButtonPresses;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

// The key string that types the text as it is.
std::u32string literally(const std::wstring& text)
{
    std::u32string keys;
    for (const wchar_t character : text)
        keys += Keys::literalKeyString(static_cast<char32_t>(character));
    return keys;
}

// What the three boxes hold, one after the other.
std::wstring boxTexts(const SignInWindow& window)
{
    return SignInWindow::textOf(window.user) + L"|" + SignInWindow::textOf(window.password) + L"|" +
           SignInWindow::textOf(window.lines);
}

// Keys sent into the box that has the focus, and what the boxes then hold: a login (user name, Tab, a password full
// of punctuation, Enter, which presses the default button once); every character of the cipher's alphabet in the
// box of many lines, where carriage return and line feed press Enter, which breaks the line; characters that the
// layout has no key for, or whose key needs more than Shift, which go as Unicode input, held modifiers or not, while
// one that the layout has with Shift goes as its key. Then Shift+Tab moves back.
void checkTyping(SignInWindow& window, Keys::KeySender& sender, bool altGrLayout)
{
    struct Row
    {
        std::string name;
        HWND start;
        std::vector<KeyStroke> strokes;
        std::wstring expected; // the texts of the boxes, joined by "|"
        int defaultButtonPresses = 0;
    };
    const std::wstring user = L"alice.o'neil@site.example";
    const std::wstring password = L" P4ss!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ ";
    const std::vector<KeyStroke> login =
        Keys::parseKeyString(literally(user) + U"{TAB}" + literally(password) + U"{ENTER}");
    std::wstring lines;
    for (const wchar_t character : CipherAlphabet)
        lines += character == L'\r' || character == L'\n' ? L"\r\n" : std::wstring(1, character);
    // One character typed into the user name box.
    const auto oneCharacter = [&window](const char* name, char32_t typed, unsigned modifiers,
                                        const std::wstring& shown) {
        return Row{name, window.user, {{Key::Character, typed, modifiers}}, shown + L"||"};
    };
    std::vector<Row> rows = {
        {"a login arrives exactly, Enter pressing the default button once", window.user, login,
         user + L"|" + password + L"|", 1},
        {"every character of the cipher's alphabet arrives", window.lines,
         Keys::parseKeyString(literally(CipherAlphabet)), L"||" + lines},
        oneCharacter("U+10041 arrives as itself", U'\U00010041', Keys::NoModifier, L"\U00010041"),
        oneCharacter("U+10041 with Shift arrives as itself, not \"A\"", U'\U00010041', Keys::Shift, L"\U00010041"),
        oneCharacter("e-acute with Shift arrives (no key on the layout)", U'\u00e9', Keys::Shift, L"\u00e9"),
        oneCharacter("the euro sign arrives", U'\u20ac', Keys::NoModifier, L"\u20ac"),
        oneCharacter("a with Shift goes as its key: \"A\"", U'a', Keys::Shift, L"A"),
    };
    // "@" needs AltGr (Ctrl+Alt) on a German layout.
    const SHORT at = VkKeyScanW(L'@');
    if (at != -1 && (HIBYTE(at) & 6) == 6)
        rows.push_back(oneCharacter("@ with Shift arrives though its key needs AltGr", U'@', Keys::Shift, L"@"));
    else if (altGrLayout)
        Check::that(false, "keys: the layout has @ on AltGr", "wine did not take the German layout");
    else
        Check::skip("keys: @ that needs AltGr", "this keyboard layout has @ without AltGr");
    for (const Row& row : rows) {
        window.startIn(row.start);
        sender.send(row.strokes);
        const auto arrived = [&] {
            return boxTexts(window) == row.expected && window.defaultButtonPresses == row.defaultButtonPresses;
        };
        window.pumpUntil(arrived);
        window.pumpFor(100);
        Check::that(arrived(), "keys: " + row.name,
                    Check::visible(boxTexts(window)) + ", " + std::to_string(window.defaultButtonPresses) + " presses");
    }
    window.startIn(window.password);
    sender.send({{Key::Tab, 0, Keys::Shift}});
    window.pumpUntil([&] { return GetFocus() == window.user; });
    Check::that(GetFocus() == window.user, "keys: Shift+Tab moves back to the user name");
}

// The navigation keys go as extended keys, which real Windows needs to tell them from the number pad's keys of the
// same codes; Shift around them, Tab and Enter do not.
void checkExtendedKeys()
{
    struct Row
    {
        const char* name;
        Key key;
        bool extended;
    };
    const Row rows[] = {
        {"Home", Key::Home, true},     {"End", Key::End, true},        {"Insert", Key::Insert, true},
        {"Delete", Key::Delete, true}, {"Page Up", Key::PageUp, true}, {"Page Down", Key::PageDown, true},
        {"Up", Key::Up, true},         {"Down", Key::Down, true},      {"Left", Key::Left, true},
        {"Right", Key::Right, true},   {"Tab", Key::Tab, false},       {"Enter", Key::Enter, false}};
    for (const Row& row : rows) {
        const std::vector<INPUT> inputs = Keys::WindowsKeySender::inputsFor({{row.key, 0, Keys::Shift}});
        std::string flags; // Shift down, the key down and up, Shift up: E for an extended event
        for (const INPUT& input : inputs)
            flags += (input.ki.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0 ? 'E' : '-';
        Check::that(flags == (row.extended ? "-EE-" : "----"),
                    std::string("keys: Shift+") + row.name + (row.extended ? " goes as an extended key" : " does not"),
                    flags);
    }
}

} // namespace

void runKeySenderCases(bool altGrLayout)
{
    SignInWindow window;
    Keys::WindowsKeySender sender;
    checkTyping(window, sender, altGrLayout);
    checkExtendedKeys();
    window.pumpFor(200);
    for (const auto& [name, key] : {std::pair{"Shift", VK_SHIFT}, {"Control", VK_CONTROL}, {"Alt", VK_MENU}})
        Check::that((GetAsyncKeyState(key) & 0x8000) == 0, std::string("keys: ") + name + " is not held");
}
