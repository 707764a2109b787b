#include "TypedText.h"

#include <random>
#include <vector>

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
