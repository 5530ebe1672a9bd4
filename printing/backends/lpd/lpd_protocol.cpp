#include "printing/backends/lpd/lpd_protocol.h"

#include <algorithm>
#include <charconv>

namespace lpd {
namespace {

bool IsControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// A file name's host part goes into a space-separated subcommand and into a server's
// spool folder: letters, digits, dots and dashes only.
std::string FileNameHost(std::string_view host) {
    std::string kept;
    for (char c : host) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (safe && kept.size() < kMaxHostLength) {
            kept += c;
        }
    }
    return kept.empty() ? std::string("localhost") : kept;
}

std::string FileSubcommand(Subcommand code, std::uint64_t byteCount, std::string_view name) {
    std::string line(1, static_cast<char>(code));
    line += std::to_string(byteCount);
    line += ' ';
    line += name;
    line += '\n';
    return line;
}

void AppendLine(std::string& contents, char code, const std::string& value) {
    contents += code;
    contents += value;
    contents += '\n';
}

} // namespace

std::string JobNumberText(int jobNumber) {
    const int number = ((jobNumber % 1000) + 1000) % 1000;
    std::string text = std::to_string(number);
    return std::string(3 - text.size(), '0') + text;
}

std::string DataFileName(int jobNumber, std::string_view host) {
    return "dfA" + JobNumberText(jobNumber) + FileNameHost(host);
}

std::string ControlFileName(int jobNumber, std::string_view host) {
    return "cfA" + JobNumberText(jobNumber) + FileNameHost(host);
}

std::string ReceiveJobCommand(std::string_view queue) {
    std::string line(1, static_cast<char>(Command::ReceiveJob));
    line += SanitiseLineValue(queue, queue.size());
    line += '\n';
    return line;
}

std::string ReceiveDataFileSubcommand(std::uint64_t byteCount, std::string_view dataFileName) {
    return FileSubcommand(Subcommand::ReceiveDataFile, byteCount, dataFileName);
}

std::string ReceiveControlFileSubcommand(std::uint64_t byteCount,
                                         std::string_view controlFileName) {
    return FileSubcommand(Subcommand::ReceiveControlFile, byteCount, controlFileName);
}

std::string SanitiseLineValue(std::string_view text, std::size_t maxLength) {
    std::string kept;
    for (char c : text) {
        if (!IsControlCharacter(c)) {
            kept += c;
        }
    }
    if (kept.size() > maxLength) {
        std::size_t cut = maxLength;
        while (cut > 0 && IsUtf8Continuation(kept[cut])) {
            --cut;
        }
        kept.resize(cut);
    }
    return kept;
}

std::string BuildControlFile(const ControlFile& job) {
    std::string contents;
    AppendLine(contents, 'H', SanitiseLineValue(job.host, kMaxHostLength));
    AppendLine(contents, 'P', SanitiseLineValue(job.user, kMaxUserLength));
    AppendLine(contents, 'J', SanitiseLineValue(job.jobName, kMaxNameLength));
    // 'l' prints the file as it is, control characters included: a raw job.
    AppendLine(contents, 'l', job.dataFileName);
    AppendLine(contents, 'U', job.dataFileName);
    AppendLine(contents, 'N', SanitiseLineValue(job.sourceName, kMaxNameLength));
    return contents;
}

std::optional<CommandLine> ParseCommandLine(std::string_view line) {
    if (line.empty() || line.find('\n') != std::string_view::npos) {
        return std::nullopt;
    }
    return CommandLine{static_cast<unsigned char>(line.front()), std::string(line.substr(1))};
}

std::optional<FileAnnouncement> ParseFileAnnouncement(std::string_view operand) {
    const std::size_t space = operand.find(' ');
    if (space == 0 || space == std::string_view::npos || space + 1 == operand.size()) {
        return std::nullopt;
    }
    FileAnnouncement announcement;
    const char* first = operand.data();
    const char* last = operand.data() + space;
    const auto [end, error] = std::from_chars(first, last, announcement.byteCount);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    announcement.fileName = std::string(operand.substr(space + 1));
    const bool safeName =
        std::none_of(announcement.fileName.begin(), announcement.fileName.end(),
                     [](char c) { return IsControlCharacter(c) || c == ' ' || c == '/'; });
    if (!safeName) {
        return std::nullopt;
    }
    return announcement;
}

std::optional<std::vector<ControlLine>> ParseControlFile(std::string_view contents) {
    std::vector<ControlLine> lines;
    while (!contents.empty()) {
        const std::size_t end = contents.find('\n');
        if (end == std::string_view::npos || end == 0) {
            return std::nullopt;
        }
        lines.push_back({contents.front(), std::string(contents.substr(1, end - 1))});
        contents.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace lpd
