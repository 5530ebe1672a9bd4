#include "core/seconds_text.h"

std::string SecondsText(std::chrono::milliseconds duration) {
    const auto milliseconds = duration.count();
    std::string text = std::to_string(milliseconds / 1000);
    if (milliseconds % 1000 != 0) {
        std::string fraction = std::to_string(1000 + milliseconds % 1000).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        text += '.' + fraction;
    }
    return text + " s";
}
