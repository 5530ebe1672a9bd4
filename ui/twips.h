#pragma once

// Window layouts are given in twips: 1440 to an inch, 15 to a pixel at 96 dots per inch.
// Qt scales device-independent pixels for other resolutions itself.
namespace Twips {

constexpr int ToPixels(int twips) {
    return twips / 15;
}

} // namespace Twips
