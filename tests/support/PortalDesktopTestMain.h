#pragma once

#include "support/PortalDesktop.h"

#include <QApplication>
#include <QTest>
#include <memory>

// The main function of a test program whose windows live on a headless desktop of their own with the desktop portal
// (PortalDesktop: GNOME, or KDE when QUILLOCK_PORTAL_DESKTOP=KDE), through Qt's wayland platform, started
// as the desktop's menu starts programs. The desktop outlives the application, which is connected to its compositor.
// TestObject is made with the desktop and the programs it lacks (empty when it can start): a test then skips, and the
// application runs offscreen.
#define QUILLOCK_PORTAL_DESKTOP_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        const PortalDesktop::Kind kind = PortalDesktop::kindOfThisTest();                                              \
        const QString missing = PortalDesktop::missingPrograms(kind);                                                  \
        std::unique_ptr<PortalDesktop> desktop;                                                                        \
        if (missing.isEmpty()) {                                                                                       \
            desktop = std::make_unique<PortalDesktop>(kind);                                                           \
            if (!desktop->isRunning())                                                                                 \
                qFatal("the headless desktop did not start: %s", qPrintable(desktop->error()));                        \
            if (!desktop->startAsFromTheMenu(true))                                                                    \
                qFatal("this process could not be put in a scope of its application (it needs root)");                 \
        } else {                                                                                                       \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        }                                                                                                              \
        QApplication app(argc, argv);                                                                                  \
        TestObject test(desktop.get(), missing);                                                                       \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
