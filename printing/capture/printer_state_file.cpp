#include "printing/capture/printer_state_file.h"

#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/whole_file.h"

#include <array>
#include <string_view>

namespace {

// Longer than any state's name with the blanks a hand-written file puts before it.
constexpr std::size_t kReadLimit = 256;

std::string_view FirstWord(std::string_view text) {
    constexpr std::string_view kBlank = " \t\r\n";
    const std::size_t start = text.find_first_not_of(kBlank);
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_first_of(kBlank, start) - start);
}

} // namespace

PrinterStateFile::PrinterStateFile(std::string path, Emulation::State initial)
    : path_(std::move(path)), last_(initial) {}

Emulation::State PrinterStateFile::Read() {
    // Only a regular file: opening a FIFO would wait for its writer.
    if (!modTools::IsRegularFile(path_)) {
        return last_;
    }
    std::array<char, kReadLimit> bytes{};
    std::size_t count = 0;
    try {
        FileReader reader(path_);
        count = reader.Read(bytes.data(), bytes.size());
    } catch (const FileError&) {
        return last_;
    }
    if (const auto state =
            Emulation::StateNamed(FirstWord(std::string_view(bytes.data(), count)))) {
        last_ = *state;
    }
    return last_;
}
