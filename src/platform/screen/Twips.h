#pragma once

#include <cmath>

// Sizes and positions are kept in twips; the screen has 15 twips to a device-independent pixel (96 dpi).
namespace Twips {

constexpr int PerPixel = 15;

constexpr double fromPixels(double pixels)
{
    return pixels * PerPixel;
}

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / PerPixel));
}

} // namespace Twips
