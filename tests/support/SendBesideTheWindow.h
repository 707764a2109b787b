#pragma once

#include "os/keys/KeySender.h"
#include "platform/keys/SendKeys.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QStringList>
#include <chrono>
#include <functional>
#include <future>

// Runs the sending on a thread of its own, as another program would, while this thread's windows go on taking their
// events; raises what the sending raised.
inline void sendBesideTheWindow(const std::function<void()>& sending)
{
    std::future<void> sent = std::async(std::launch::async, sending);
    while (sent.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents();
    sent.get();
}

// Sends the key strings, one after another, through the program's keystroke facility with this key sender.
inline void sendBesideTheWindow(Keys::KeySender& sender, const QStringList& keyStrings)
{
    Keys::setKeySender(&sender);
    const auto restore = qScopeGuard([] { Keys::setKeySender(nullptr); });
    sendBesideTheWindow([&keyStrings] {
        for (const QString& keys : keyStrings)
            sendKeys(keys);
    });
}
