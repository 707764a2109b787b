#include "platform/app/Application.h"
#include "system/app/basModule1.h"
#include "ui/other/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Application::turnOffCoreDumps();
    QApplication app(argc, argv);
    QApplication::setApplicationName(Application::title());
    QApplication::setApplicationVersion(Application::version());
    QGuiApplication::setDesktopFileName(Application::utilityDesktopEntryId());
    const SharedObjectsScope sharedObjects; // ends after the window, before the application
    frmMain window;
    // A refused password closes the window before the event loop runs, so there is nothing left to wait for.
    if (!window.Form_Load())
        return 0;
    return QApplication::exec();
}
