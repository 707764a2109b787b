#pragma once

#include "os/keys/KeySender.h"
#include "platform/keys/SendKeys.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QStringList>
#include <chrono>
#include <functional>
#include <future>
#include <optional>

// Runs the sending on a thread of its own, as another program would, while this thread's windows go on taking their
// events; raises what the sending raised.
inline void sendBesideTheWindow(const std::function<void()>& sending)
{
    std::future<void> sent = std::async(std::launch::async, sending);
    while (sent.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        QCoreApplication::processEvents();
    sent.get();
}

// The text as a replay types it: a key string for each character.
inline QStringList eachCharacterLiterally(const QString& text)
{
    QStringList keyStrings;
    for (QChar c : text)
        keyStrings << literalKeyString(c);
    return keyStrings;
}

// Sends the key strings, one after another, through the program's keystroke facility with this key sender; with a
// window, each key only into it, as a launch sends them, having told the facility all of them first. False when a
// key was refused.
inline bool sendBesideTheWindow(Keys::KeySender& sender, const QStringList& keyStrings,
                                std::optional<Focus::WindowId> onlyInto = std::nullopt)
{
    Keys::setKeySender(&sender);
    const auto restore = qScopeGuard([] { Keys::setKeySender(nullptr); });
    bool sent = true;
    sendBesideTheWindow([&] {
        expectKeys(keyStrings.join(QString()));
        for (const QString& keys : keyStrings) {
            if (!onlyInto)
                sendKeys(keys);
            else
                sent = sent && sendKeysOnlyInto(keys, *onlyInto);
        }
    });
    return sent;
}
