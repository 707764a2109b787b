#include "app/HandlerGuard.h"
#include "app/StartupSettings.h"
#include "platform/app/Application.h"
#include "platform/error/AppError.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Application::title());
    QApplication::setApplicationVersion(QStringLiteral(QUILLOCK_VERSION));
    try {
        ReadStartupSettings();
    } catch (const AppError& error) {
        ReportError(error);
        return 1;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillock!"));
    window.resize(600, 400);
    window.show();
    return QApplication::exec();
}
