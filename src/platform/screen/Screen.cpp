#include "platform/screen/Screen.h"

#include "platform/screen/Twips.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

int currentPointer = Screen::vbDefault;

bool haveGui()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QSize primaryScreenPixels()
{
    const QScreen* screen = haveGui() ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->geometry().size() : QSize();
}

} // namespace

namespace Screen {

double width()
{
    return Twips::fromPixels(primaryScreenPixels().width());
}

double height()
{
    return Twips::fromPixels(primaryScreenPixels().height());
}

void setMousePointer(int pointer)
{
    if (pointer == currentPointer)
        return;
    if (haveGui()) {
        if (currentPointer != vbDefault)
            QGuiApplication::restoreOverrideCursor();
        if (pointer == vbHourglass)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    currentPointer = pointer;
}

int mousePointer()
{
    return currentPointer;
}

} // namespace Screen
