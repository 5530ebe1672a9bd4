#include "printing/queues/cups/program_search.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string SystemDefaultPath() {
    const std::size_t length = ::confstr(_CS_PATH, nullptr, 0);
    if (length == 0) {
        return "/usr/bin:/bin";
    }
    std::string path(length, '\0');
    ::confstr(_CS_PATH, path.data(), length);
    path.resize(length - 1); // without the terminating NUL
    return path;
}

} // namespace

namespace ProgramSearch {

std::string ProcessSearchPath() {
    const char* path = std::getenv("PATH");
    return path != nullptr ? std::string(path) : SystemDefaultPath();
}

std::optional<std::string> Find(const std::string& program, const std::string& searchPath) {
    if (program.empty()) {
        return std::nullopt;
    }
    if (program.find('/') != std::string::npos) {
        return IsExecutableFile(program) ? std::optional<std::string>(program) : std::nullopt;
    }
    std::string_view rest = searchPath;
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty()) {
            std::string candidate(folder);
            if (candidate.back() != '/') {
                candidate += '/';
            }
            candidate += program;
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
        if (colon == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(colon + 1);
    }
}

} // namespace ProgramSearch
