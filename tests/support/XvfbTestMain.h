#pragma once

#include "support/XvfbServer.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

// The main function of a test program whose widgets live on a display of their own (Xvfb). The server
// outlives the application and everything the test made.
#define QUILLOCK_XVFB_TEST_MAIN(TestObject)                                                                            \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        XvfbServer display;                                                                                            \
        if (!display.isRunning()) {                                                                                    \
            std::fprintf(stderr, "Xvfb did not start: is the xvfb package installed?\n");                              \
            return 1;                                                                                                  \
        }                                                                                                              \
        qputenv("DISPLAY", QByteArray::fromStdString(display.display()));                                              \
        qputenv("QT_QPA_PLATFORM", "xcb");                                                                             \
        qunsetenv("WAYLAND_DISPLAY"); /* the session is this display alone, even when run on a Wayland desktop */      \
        QApplication app(argc, argv);                                                                                  \
        TestObject test;                                                                                               \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
