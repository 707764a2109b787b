#pragma once

#include <QDialog>
#include <QPointer>
#include <utility>

// The windows other than the main window exist once at most: each is made when it is to be shown, shown
// modally, and deleted when it closes. While one is open, OpenInstance finds it; asking to show it again
// then brings it to the front instead of making a second one.
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
        const int result = window->exec();
        delete window.data();
        return result;
    }

    // The open window, or null.
    static Window* OpenInstance() { return s_open.data(); }

private:
    static inline QPointer<Window> s_open;
};
