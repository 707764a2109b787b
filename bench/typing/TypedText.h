#pragma once

#include <QString>

#include <cstdint>

#include <functional>
#include <optional>
#include <thread>

namespace Keys {
class KeySender;
}

// The texts the typing benchmarks type, how they are typed, and how much of them arrived how fast.

// count characters drawn from the given ones in a fixed random order, the same on every run.
QString randomText(const QString& characters, int count);

// The characters that arrived in the right order: the longest common subsequence, so that one dropped
// character costs one, not all that follow it.
int charactersInOrder(const QString& expected, const QString& typed);

// count printable ASCII characters in a fixed random order.
QString printableAsciiText(int count);

struct Typing
{
    double charactersPerSecond;
    int correct;
};

// Starts the typing, then lets the window take keys until the whole text arrived or none came for two seconds; the
// rate counts from the start to the last character that arrived. typed tells what the window holds so far.
Typing measureTyping(const QString& text, const std::function<QString()>& typed, const std::function<void()>& start);

// Types the text with the key sender on a thread of its own, so that the window takes the keys meanwhile, as a browser
// in another process does: one key string per character; or, with a window, as a launch types into the browser's
// window, in runs of CharactersPerSend characters, each key only into that window.
std::thread typeWithQuillock(Keys::KeySender& sender, const QString& text,
                             std::optional<std::uint64_t> onlyInto = std::nullopt);

// Prints the two figures of a typing: "typing_<name> <value> cps" and "typing_<name>_correct <value> chars".
void printTyping(const char* name, const Typing& typing);
