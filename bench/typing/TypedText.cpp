#include "TypedText.h"

#include "os/keys/KeySender.h"
#include "platform/keys/SendKeys.h"
#include "system/launch/PlayInstruction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Typing is over when no character has arrived for this long.
constexpr qint64 QuietMs = 2000;

} // namespace

QString randomText(const QString& characters, int count)
{
    std::mt19937 random(20240601);
    std::uniform_int_distribution<qsizetype> pick(0, characters.size() - 1);
    QString text;
    for (int i = 0; i < count; ++i)
        text += characters[pick(random)];
    return text;
}

int charactersInOrder(const QString& expected, const QString& typed)
{
    std::vector<int> previous(static_cast<std::size_t>(typed.size()) + 1, 0);
    std::vector<int> current(previous.size(), 0);
    for (QChar wanted : expected) {
        for (qsizetype j = 0; j < typed.size(); ++j) {
            const std::size_t k = static_cast<std::size_t>(j);
            current[k + 1] = wanted == typed[j] ? previous[k] + 1 : std::max(previous[k + 1], current[k]);
        }
        std::swap(previous, current);
    }
    return previous.back();
}

QString printableAsciiText(int count)
{
    QString characters;
    for (char16_t c = 0x20; c <= 0x7e; ++c)
        characters += QChar(c);
    return randomText(characters, count);
}

Typing measureTyping(const QString& text, const std::function<QString()>& typed, const std::function<void()>& start)
{
    QElapsedTimer clock;
    clock.start();
    start();
    qint64 lastArrival = 0;
    qsizetype arrived = 0;
    while (arrived < text.size() && clock.elapsed() - lastArrival < QuietMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (typed().size() != arrived) {
            arrived = typed().size();
            lastArrival = clock.nsecsElapsed() / 1000000;
        }
    }
    const double seconds = std::max(static_cast<double>(lastArrival) / 1000.0, 1e-3);
    return {static_cast<double>(arrived) / seconds, charactersInOrder(text, typed())};
}

std::thread typeWithQuillock(Keys::KeySender& sender, const QString& text, std::optional<std::uint64_t> onlyInto)
{
    return std::thread([&sender, text, onlyInto] {
        Keys::setKeySender(&sender);
        const qsizetype run = onlyInto ? CharactersPerSend : 1;
        for (qsizetype start = 0; start < text.size(); start += run) {
            const QString keys = literalKeyString(QStringView(text).mid(start, run));
            if (onlyInto)
                sendKeysOnlyInto(keys, *onlyInto);
            else
                sendKeys(keys);
        }
        Keys::setKeySender(nullptr);
    });
}

void printTyping(const char* name, const Typing& typing)
{
    std::printf("typing_%s %.0f cps\n", name, typing.charactersPerSecond);
    std::printf("typing_%s_correct %d chars\n", name, typing.correct);
    std::fflush(stdout);
}
