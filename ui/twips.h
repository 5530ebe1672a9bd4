#pragma once

#include <QRect>

// Window layouts are given in twips: 1440 to an inch, 15 to a pixel at 96 dots per inch.
// Qt scales device-independent pixels for other resolutions itself.
namespace Twips {

// To the nearest pixel: the layouts hold a few sizes that are no whole number of pixels.
constexpr int ToPixels(int twips) {
    return (twips + 7) / 15;
}

inline QRect ToRect(int left, int top, int width, int height) {
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}

} // namespace Twips
