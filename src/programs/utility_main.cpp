#include "app/basModule1.h"
#include "platform/app/Application.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Application::title());
    QApplication::setApplicationVersion(QStringLiteral(QUILLOCK_VERSION));
    const SharedObjectsScope sharedObjects; // ends after the window, before the application
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("DevivedIzurEdevi"));
    window.resize(600, 400);
    window.show();
    return QApplication::exec();
}
