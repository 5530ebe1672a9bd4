#include "printing/discovery/device_folder.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

namespace {

// How many entries a folder is read for at most, whatever the limit asked: /dev holds a
// few hundred.
constexpr std::size_t kEntryLimit = 16384;

// The number after the prefix, when the rest of the name is one.
std::optional<unsigned> NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 6) {
        return std::nullopt;
    }
    name.remove_prefix(prefix.size());
    unsigned number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error != std::errc() || end != name.data() + name.size()) {
        return std::nullopt;
    }
    return number;
}

} // namespace

DeviceFolder::DeviceFolder(std::string path) : path_(std::move(path)) {}

std::string DeviceFolder::PathOf(const std::string& name) const {
    return (std::filesystem::path(path_) / name).string();
}

std::vector<std::string> DeviceFolder::Names(std::size_t limit) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(path_, error);
    if (error) {
        if (error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
            error_ = "can't read " + path_ + ": " + error.message();
        }
        return names;
    }
    for (; entry != std::filesystem::directory_iterator() && names.size() < kEntryLimit;
         entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    if (error) {
        error_ = "can't read " + path_ + ": " + error.message();
    }
    std::sort(names.begin(), names.end());
    if (names.size() > limit) {
        names.resize(limit);
    }
    return names;
}

std::vector<std::string> DeviceFolder::Numbered(std::string_view prefix, std::size_t limit) {
    std::vector<std::pair<unsigned, std::string>> numbered;
    for (const std::string& name : Names(kEntryLimit)) {
        if (const std::optional<unsigned> number = NumberAfter(name, prefix)) {
            numbered.emplace_back(*number, name);
        }
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::string> names;
    for (auto& [number, name] : numbered) {
        if (names.size() == limit) {
            break;
        }
        names.push_back(std::move(name));
    }
    return names;
}
