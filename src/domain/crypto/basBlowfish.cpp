#include "domain/crypto/basBlowfish.h"

#include "domain/crypto/basUnsignedWord.h"
#include "domain/error/AppError.h"

#include <utility>

using namespace basUnsignedWord;

namespace basBlowfish {

namespace {

PArrayTable g_pArray{};
SBoxTables g_sBoxes{};
bool g_tablesLoaded = false;

constexpr int Rounds = 16;

void requireTables()
{
    if (!g_tablesLoaded) {
        throw AppError(ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("The Blowfish cipher has no key yet: set a key before enciphering or "
                                      "deciphering."));
    }
}

// The next four key bytes as one word, most significant first; the key position wraps to the start.
std::uint32_t nextKeyWord(const QByteArray& key, int& position)
{
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        word = ShiftLeft8(word) | static_cast<std::uint8_t>(key[position]);
        position = (position + 1) % key.size();
    }
    return word;
}

} // namespace

const PArrayTable& PArray()
{
    return g_pArray;
}

const SBoxTables& SBoxes()
{
    return g_sBoxes;
}

void LoadBlowfishTables()
{
    g_pArray = basBlfArrays::InitialPArray;
    g_sBoxes = basBlfArrays::InitialSBoxes;
    g_tablesLoaded = true;
}

std::uint32_t RoundFunction(std::uint32_t x)
{
    requireTables();
    const auto [a, b, c, d] = UnpackWord(x);
    return AddUnsigned(AddUnsigned(g_sBoxes[0][a], g_sBoxes[1][b]) ^ g_sBoxes[2][c], g_sBoxes[3][d]);
}

void EncipherWordPair(std::uint32_t& left, std::uint32_t& right)
{
    requireTables();
    for (int i = 0; i < Rounds; ++i) {
        left ^= g_pArray[i];
        right ^= RoundFunction(left);
        std::swap(left, right);
    }
    std::swap(left, right); // the last round does not swap
    right ^= g_pArray[Rounds];
    left ^= g_pArray[Rounds + 1];
}

void DecipherWordPair(std::uint32_t& left, std::uint32_t& right)
{
    requireTables();
    for (int i = Rounds + 1; i > 1; --i) {
        left ^= g_pArray[i];
        right ^= RoundFunction(left);
        std::swap(left, right);
    }
    std::swap(left, right);
    right ^= g_pArray[1];
    left ^= g_pArray[0];
}

void ExpandKey(const QByteArray& key)
{
    if (key.isEmpty()) {
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("The Blowfish key is empty."));
    }
    LoadBlowfishTables();

    int keyPosition = 0;
    for (std::uint32_t& word : g_pArray) {
        word ^= nextKeyWord(key, keyPosition);
    }

    // Each table entry pair is replaced by the running encipherment of an all-zero block.
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < g_pArray.size(); i += 2) {
        EncipherWordPair(left, right);
        g_pArray[i] = left;
        g_pArray[i + 1] = right;
    }
    for (auto& box : g_sBoxes) {
        for (std::size_t k = 0; k < box.size(); k += 2) {
            EncipherWordPair(left, right);
            box[k] = left;
            box[k + 1] = right;
        }
    }
}

bool SetCipherKey(const QByteArray& key)
{
    if (key.isEmpty() || key.size() > MaxKeyBytes) {
        return false;
    }
    ExpandKey(key);
    return true;
}

} // namespace basBlowfish
