#include "printing/capture/emulation.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

template <typename Value, std::size_t N>
std::optional<Value> Named(const std::array<std::pair<std::string_view, Value>, N>& names,
                           std::string_view name) {
    const auto same = [name](std::string_view known) {
        return std::equal(known.begin(), known.end(), name.begin(), name.end(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        });
    };
    for (const auto& [known, value] : names) {
        if (same(known)) {
            return value;
        }
    }
    return std::nullopt;
}

using Language = Emulation::Language;
using State = Emulation::State;

constexpr std::array<std::pair<std::string_view, Language>, 3> kLanguages = {{
    {"escpos", Language::EscPos},
    {"zpl", Language::Zpl},
    {"pjl", Language::Pjl},
}};

constexpr std::array<std::pair<std::string_view, State>, 5> kStates = {{
    {"ready", State::Ready},
    {"paper-out", State::PaperOut},
    {"cover-open", State::CoverOpen},
    {"paused", State::Paused},
    {"offline", State::Offline},
}};

} // namespace

std::optional<Emulation::Language> Emulation::LanguageNamed(std::string_view name) {
    return Named(kLanguages, name);
}

std::optional<Emulation::State> Emulation::StateNamed(std::string_view name) {
    return Named(kStates, name);
}
