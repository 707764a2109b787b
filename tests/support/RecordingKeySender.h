#pragma once

#include "os/keys/KeySender.h"

#include <functional>
#include <string>

namespace Keys {

// The test backend: records every call instead of typing, and installs itself for its lifetime.
class RecordingKeySender : public KeySender
{
public:
    RecordingKeySender() { setKeySender(this); }
    ~RecordingKeySender() override { setKeySender(nullptr); }
    RecordingKeySender(const RecordingKeySender&) = delete;
    RecordingKeySender& operator=(const RecordingKeySender&) = delete;

    void send(const std::vector<KeyStroke>& strokes) override
    {
        calls.push_back(strokes);
        if (afterSend)
            afterSend();
    }

    bool sendOnlyInto(const std::vector<KeyStroke>& strokes, std::uint64_t window) override
    {
        windows.push_back(window);
        send(strokes);
        return true;
    }

    void prepare(const Preparation& preparation) override
    {
        if (onPrepare)
            onPrepare(preparation);
    }

    std::optional<char32_t> firstUntypable(const std::vector<KeyStroke>& strokes) override
    {
        for (const KeyStroke& stroke : strokes) {
            if (stroke.key == Key::Character && untypable.find(stroke.character) != std::u32string::npos)
                return stroke.character;
        }
        return std::nullopt;
    }

    // Every stroke of every call, in order.
    std::vector<KeyStroke> strokes() const
    {
        std::vector<KeyStroke> all;
        for (const std::vector<KeyStroke>& call : calls)
            all.insert(all.end(), call.begin(), call.end());
        return all;
    }

    // One entry per call of send.
    std::vector<std::vector<KeyStroke>> calls;
    // The window each call of sendOnlyInto named, in order.
    std::vector<std::uint64_t> windows;
    // Called after each call of send has been recorded, when set.
    std::function<void()> afterSend;
    // Stands in for what the desktop does when the program prepares to type, when set.
    std::function<void(const Preparation&)> onPrepare;
    // The characters the keyboard layout lacks.
    std::u32string untypable;
};

} // namespace Keys
