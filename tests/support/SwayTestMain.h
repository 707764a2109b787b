#pragma once

#include "support/SwayServer.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <memory>

// Runs the tests of a test program whose widgets live on a Wayland compositor of their own (headless sway), through
// Qt's wayland platform. The compositor outlives the application and everything the test made. Without sway the
// test runs offscreen, and its initTestCase skips (QUILLOCK_SKIP_WITHOUT_SWAY).
template <class TestObject>
int runOnSway(int argc, char* argv[])
{
    std::unique_ptr<SwayServer> compositor;
    if (SwayServer::isInstalled()) {
        compositor = std::make_unique<SwayServer>();
        if (!compositor->isRunning()) {
            std::fprintf(stderr, "sway did not start\n");
            return 1;
        }
        qputenv("WAYLAND_DISPLAY", QByteArray::fromStdString(compositor->socket()));
        qputenv("SWAYSOCK", QByteArray::fromStdString(compositor->ipcSocket()));
        qunsetenv("DISPLAY"); // the session is this compositor alone
        qputenv("QT_QPA_PLATFORM", "wayland");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TestObject test;
    return QTest::qExec(&test, argc, argv);
}

// The first line of an initTestCase that needs the compositor.
#define QUILLOCK_SKIP_WITHOUT_SWAY()                                                                                   \
    do {                                                                                                               \
        if (!SwayServer::isInstalled())                                                                                \
            QSKIP("sway is not installed (scripts/install-deps.sh --test installs it)");                               \
    } while (false)
