#pragma once

#include "support/MutterSession.h"

#include <QApplication>
#include <QTest>
#include <memory>

// The main function of a test program whose windows live on a headless GNOME desktop of their own (MutterSession),
// through Qt's wayland platform. The desktop outlives the application, which is connected to its compositor.
// TestObject is made with the programs the desktop lacks (empty when it can start): a test then skips, and the
// application runs offscreen.
#define QUILLOCK_MUTTER_TEST_MAIN(TestObject)                                                                          \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        const QString missing = MutterSession::missingPrograms();                                                      \
        std::unique_ptr<MutterSession> session;                                                                        \
        if (missing.isEmpty()) {                                                                                       \
            session = std::make_unique<MutterSession>();                                                               \
            if (!session->isRunning())                                                                                 \
                qFatal("the headless desktop did not start: %s", qPrintable(session->error()));                        \
        } else {                                                                                                       \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        }                                                                                                              \
        QApplication app(argc, argv);                                                                                  \
        TestObject test(missing);                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
