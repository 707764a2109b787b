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

const QScreen* primaryScreen()
{
    return haveGui() ? QGuiApplication::primaryScreen() : nullptr;
}

QSize primaryScreenPixels()
{
    const QScreen* screen = primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

QSize availablePixels()
{
    const QScreen* screen = primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

} // namespace

namespace Screen {

double widthTwips()
{
    return Twips::fromPixels(primaryScreenPixels().width());
}

double heightTwips()
{
    return Twips::fromPixels(primaryScreenPixels().height());
}

double availableWidthTwips()
{
    return Twips::fromPixels(availablePixels().width());
}

double availableHeightTwips()
{
    return Twips::fromPixels(availablePixels().height());
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
