#include "domain/crypto/basUnsignedWord.h"

#include "domain/error/AppError.h"

#include <cmath>

namespace basUnsignedWord {

namespace {
constexpr double LargestWord = 4294967295.0;
}

std::uint32_t PackWord(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    return (std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) | (std::uint32_t{c} << 8) | std::uint32_t{d};
}

std::array<std::uint8_t, 4> UnpackWord(std::uint32_t word)
{
    return {static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
            static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
}

std::uint32_t ShiftLeft8(std::uint32_t word)
{
    return word << 8;
}

std::uint32_t AddUnsigned(std::uint32_t a, std::uint32_t b)
{
    return a + b;
}

double WordToDouble(std::uint32_t word)
{
    return static_cast<double>(word);
}

std::uint32_t DoubleToWord(double value)
{
    // The negated test also catches NaN, for which every comparison is false.
    if (!(value >= 0.0 && value <= LargestWord)) {
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("The value %1 does not fit an unsigned 32-bit word (0 to 4294967295).")
                           .arg(value, 0, 'g', 17));
    }
    return static_cast<std::uint32_t>(std::nearbyint(value));
}

} // namespace basUnsignedWord
