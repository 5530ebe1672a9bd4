#include "printing/talkback/device_id.h"

#include "printing/talkback/reply_text.h"

#include <algorithm>
#include <array>

namespace {

using Language = DeviceId::Language;

constexpr std::size_t kLengthBytes = 2;

// The command-set names printers give for the languages we speak. A name ending in '*'
// takes any ending (PCL5E, PCLXL, ZPL2, EPL2, POSTSCRIPT3); the first matching row wins,
// so PCLM, a page format rather than PCL, is passed over before PCL* takes it.
struct CommandSetName {
    std::string_view name;
    std::optional<Language> language;
};
constexpr std::array kCommandSets = {
    CommandSetName{"ESC/POS", Language::EscPos},
    CommandSetName{"ESCPOS", Language::EscPos},
    CommandSetName{"ZPL*", Language::Zpl},
    CommandSetName{"EPL*", Language::Epl},
    CommandSetName{"PJL", Language::Pjl},
    CommandSetName{"PCLM", std::nullopt},
    CommandSetName{"PCL*", Language::Pcl},
    CommandSetName{"POSTSCRIPT*", Language::PostScript},
    CommandSetName{"PS", Language::PostScript},
    CommandSetName{"BR-SCRIPT*", Language::PostScript},
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

bool Matches(std::string_view pattern, std::string_view name) {
    if (!pattern.empty() && pattern.back() == '*') {
        return name.starts_with(pattern.substr(0, pattern.size() - 1));
    }
    return name == pattern;
}

std::optional<Language> LanguageOf(std::string_view commandSet) {
    const std::string name = Upper(commandSet);
    for (const CommandSetName& row : kCommandSets) {
        if (Matches(row.name, name)) {
            return row.language;
        }
    }
    return std::nullopt;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        const std::string_view part = Trimmed(text.substr(0, end));
        if (!part.empty()) {
            parts.emplace_back(part);
        }
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return parts;
}

void Take(DeviceId& id, std::string_view key, std::string_view value) {
    if (key == "MFG" || key == "MANUFACTURER") {
        id.manufacturer = std::string(value);
    } else if (key == "MDL" || key == "MODEL") {
        id.model = std::string(value);
    } else if (key == "CMD" || key == "COMMAND SET") {
        id.commandSets = Split(value, ',');
    }
}

} // namespace

std::optional<DeviceId> DeviceId::FromPort(std::string_view bytes) {
    if (bytes.size() < kLengthBytes) {
        return std::nullopt;
    }
    const std::size_t length =
        static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1]);
    if (length < kLengthBytes) {
        return std::nullopt;
    }
    // A port that returns fewer bytes than the length claims gives what it has.
    const std::size_t end = std::min(length, bytes.size());
    return FromText(bytes.substr(kLengthBytes, end - kLengthBytes));
}

std::optional<DeviceId> DeviceId::FromText(std::string_view text) {
    text = text.substr(0, text.find('\0')); // the rest of a port's buffer
    DeviceId id;
    for (const std::string& field : Split(text, ';')) {
        const std::size_t colon = field.find(':');
        if (colon != std::string::npos) {
            const std::string_view view(field);
            Take(id, Upper(Trimmed(view.substr(0, colon))), Trimmed(view.substr(colon + 1)));
        }
    }
    if (id.manufacturer.empty() && id.model.empty() && id.commandSets.empty()) {
        return std::nullopt;
    }
    for (const std::string& commandSet : id.commandSets) {
        const std::optional<Language> language = LanguageOf(commandSet);
        if (language && !id.Speaks(*language)) {
            id.languages.push_back(*language);
        }
    }
    return id;
}

bool DeviceId::Speaks(Language language) const {
    return std::find(languages.begin(), languages.end(), language) != languages.end();
}
