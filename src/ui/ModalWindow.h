#pragma once

#include <QDialog>
#include <QPointer>
#include <concepts>
#include <utility>

// A window that reads what it shows before it opens, and may find that it cannot.
template <class Window>
concept LoadsBeforeShowing = requires(Window& window)
{
    {
        window.Form_Load()
        } -> std::same_as<bool>;
};

// The windows other than the main window exist once at most: each is made when it is to be shown, shown
// modally, and deleted when it closes. While one is open, OpenInstance finds it; asking to show it again
// then brings it to the front instead of making a second one. A window with a Form_Load that answers whether it
// could read what it shows is loaded first, and not shown at all when it could not.
//
//     ModalWindow<frmEditWebsite>::Show(listWindow, this);
template <class Window>
class ModalWindow
{
public:
    // Makes the window from the arguments, shows it modally and returns its result once it has closed.
    template <class... Args>
    static int Show(Args&&... args)
    {
        if (s_open) {
            s_open->raise();
            s_open->activateWindow();
            return QDialog::Rejected;
        }
        // Its owner may take it along when it goes (a re-lock that ends the program); the pointer knows.
        QPointer<Window> window = new Window(std::forward<Args>(args)...);
        s_open = window;
        if constexpr (LoadsBeforeShowing<Window>) {
            if (!window->Form_Load()) {
                delete window.data();
                return QDialog::Rejected;
            }
        }
        const int result = window->exec();
        delete window.data();
        return result;
    }

    // The open window, or null.
    static Window* OpenInstance() { return s_open.data(); }

private:
    static inline QPointer<Window> s_open;
};
