#include "printing/capture/job_file.h"

#include "core/file_error.h"
#include "core/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::string_view IncomingSuffix = ".prn.incoming";
constexpr std::string_view WholeSuffix = ".prn";
constexpr std::string_view PartialSuffix = ".prn.partial";

// The calls that differ between the systems: exclusive creation, writing, closing and a
// rename that never replaces its target.
#ifdef _WIN32
int OpenExclusive(const std::string& path) {
    const std::filesystem::path name = modTools::FileSystemPath(path);
    if (name.empty()) {
        errno = EILSEQ;
        return -1;
    }
    return _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

long WriteSome(int descriptor, const char* data, std::size_t count) {
    const unsigned int piece = count > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(count);
    return _write(descriptor, data, piece);
}

int CloseDescriptor(int descriptor) {
    return _close(descriptor);
}

// Windows' rename never replaces an existing file.
int RenameWithoutReplacing(const std::string& from, const std::string& to) {
    return _wrename(modTools::FileSystemPath(from).c_str(), modTools::FileSystemPath(to).c_str());
}
#else
int OpenExclusive(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
}

long WriteSome(int descriptor, const char* data, std::size_t count) {
    return write(descriptor, data, count);
}

int CloseDescriptor(int descriptor) {
    return close(descriptor);
}

// A second link fails where the name is taken; then the temporary name goes. A file
// system without links (FAT) gets a rename after a look that the name is free.
int RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST || modTools::PathExists(to)) {
            errno = EEXIST;
            return -1;
        }
        return std::rename(from.c_str(), to.c_str());
    }
    return unlink(from.c_str());
}
#endif

} // namespace

std::string JobFile::PathOf(const std::string& dir, std::uint64_t number, std::string_view suffix) {
    std::string path = dir;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path += '/';
    }
    return path + "job-" + std::to_string(number) + std::string(suffix);
}

std::unique_ptr<JobFile> JobFile::CreateExclusive(const std::string& dir, std::uint64_t number) {
    if (modTools::PathExists(PathOf(dir, number, WholeSuffix)) ||
        modTools::PathExists(PathOf(dir, number, PartialSuffix))) {
        return nullptr;
    }
    const std::string path = PathOf(dir, number, IncomingSuffix);
    const int descriptor = OpenExclusive(path);
    if (descriptor < 0) {
        if (errno == EEXIST) {
            return nullptr;
        }
        throw FileError::FromErrno(path, "create", errno);
    }
    return std::unique_ptr<JobFile>(new JobFile(dir, number, descriptor));
}

JobFile::JobFile(std::string dir, std::uint64_t number, int descriptor)
    : dir_(std::move(dir)), number_(number), descriptor_(descriptor) {}

JobFile::~JobFile() {
    if (descriptor_ >= 0) {
        try {
            KeepPartial();
        } catch (const FileError&) {
            // The bytes stay under the temporary name, which is never reused.
        }
    }
}

void JobFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const long written = WriteSome(descriptor_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError::FromErrno(PathOf(dir_, number_, IncomingSuffix), "write", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        size_ += static_cast<std::uint64_t>(written);
    }
}

void JobFile::CloseFile() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (CloseDescriptor(descriptor) != 0) {
        throw FileError::FromErrno(PathOf(dir_, number_, IncomingSuffix), "write", errno);
    }
}

std::string JobFile::KeepAs(std::string_view suffix) {
    if (descriptor_ >= 0) {
        CloseFile();
    }
    const std::string from = PathOf(dir_, number_, IncomingSuffix);
    const std::string to = PathOf(dir_, number_, suffix);
    if (RenameWithoutReplacing(from, to) != 0) {
        throw FileError::FromErrno(to, "create", errno);
    }
    return to;
}

std::string JobFile::Keep() {
    return KeepAs(WholeSuffix);
}

std::string JobFile::KeepPartial() {
    return KeepAs(PartialSuffix);
}
