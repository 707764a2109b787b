#include "platform/app/Application.h"
#include "system/app/basModule1.h"
#include "ui/main/frmWebsite.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Application::turnOffCoreDumps();
    QApplication app(argc, argv);
    QApplication::setApplicationName(Application::title());
    QApplication::setApplicationVersion(Application::version());
    QGuiApplication::setDesktopFileName(Application::desktopEntryId());
    const SharedObjectsScope sharedObjects; // ends after the window, before the application
    frmWebsite window;
    if (!window.Form_Load())
        return 1;
    window.show();
    return QApplication::exec();
}
