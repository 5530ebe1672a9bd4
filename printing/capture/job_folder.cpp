#include "printing/capture/job_folder.h"

#include "core/file_error.h"
#include "core/whole_file.h"

#include <algorithm>
#include <filesystem>

namespace {

// The job number in a name job-N.prn, job-N.prn.partial or job-N.prn.incoming, else 0.
template <typename Char> std::uint64_t NumberInName(const std::basic_string<Char>& name) {
    constexpr std::string_view Prefix = "job-";
    constexpr std::string_view Suffixes[] = {".prn", ".prn.partial", ".prn.incoming"};
    if (name.size() <= Prefix.size() || !std::equal(Prefix.begin(), Prefix.end(), name.begin())) {
        return 0;
    }
    std::uint64_t number = 0;
    std::size_t at = Prefix.size();
    // Eighteen digits always fit; a longer number is no job of ours.
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at) {
        if (at - Prefix.size() >= 18) {
            return 0;
        }
        number = number * 10 + static_cast<std::uint64_t>(name[at] - '0');
    }
    if (at == Prefix.size()) {
        return 0;
    }
    for (const std::string_view suffix : Suffixes) {
        if (name.size() - at == suffix.size() &&
            std::equal(suffix.begin(), suffix.end(), name.begin() + static_cast<long>(at))) {
            return number;
        }
    }
    return 0;
}

std::filesystem::path FolderPath(const std::string& dir) {
    return dir.empty() ? std::filesystem::path(".") : modTools::FileSystemPath(dir);
}

} // namespace

JobFolder::JobFolder(std::string dir) : dir_(std::move(dir)) {
    std::error_code error;
    if (!std::filesystem::is_directory(FolderPath(dir_), error)) {
        throw FileError(dir_, "write jobs into", error ? error.message() : "it is not a folder");
    }
    // Looking again for every job would cost a pass over the whole folder each time, on the
    // thread every connection shares.
    next_ = HighestNumber() + 1;
}

std::uint64_t JobFolder::HighestNumber() const {
    std::error_code error;
    std::filesystem::directory_iterator entries(FolderPath(dir_), error);
    if (error) {
        throw FileError(dir_.empty() ? "." : dir_, "read", error.message());
    }
    std::uint64_t highest = 0;
    for (const std::filesystem::directory_entry& entry : entries) {
        highest = std::max(highest, NumberInName(entry.path().filename().native()));
    }
    return highest;
}

std::unique_ptr<JobFile> JobFolder::Begin() {
    while (true) {
        const std::uint64_t number = next_++;
        if (std::unique_ptr<JobFile> file = JobFile::CreateExclusive(dir_, number)) {
            return file;
        }
    }
}
