#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a printer says it is, read from its IEEE 1284 device ID: who made it, what model it
// is, the command sets it names, and which of those are languages we know how to speak.
class DeviceId {
public:
    enum class Language { EscPos, Zpl, Epl, Pjl, Pcl, PostScript };

    std::string manufacturer;
    std::string model;
    std::vector<std::string> commandSets; // as the printer names them
    std::vector<Language> languages;      // the known ones among them, in the printer's order

    // The device ID as a parallel or USB printer port returns it: a two-byte big-endian length
    // that counts itself, then the text. Nothing when the length or the text make no sense.
    static std::optional<DeviceId> FromPort(std::string_view bytes);
    // The text alone ("MFG:...;MDL:...;CMD:...;"), as a network printer or a spooler gives it.
    static std::optional<DeviceId> FromText(std::string_view text);

    bool Speaks(Language language) const;
};
