#include "printing/job/spool_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The C runtime's tmpfile() makes its file in the drive's root folder, where a user
// without administrator rights may not write: make one in the user's temporary folder,
// removed by the system when it is closed.
std::FILE* OpenAnonymousFile() {
    wchar_t folder[MAX_PATH + 1];
    wchar_t path[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"tvm", 0, path) == 0) {
        errno = EACCES;
        return nullptr;
    }
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DeleteFileW(path);
        errno = EACCES;
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "w+b");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}
#else
std::FILE* OpenAnonymousFile() {
    return std::tmpfile();
}
#endif

} // namespace

SpoolFile::SpoolFile() = default;
SpoolFile::~SpoolFile() = default;

bool SpoolFile::Fail() {
    error_ = std::strerror(errno);
    return false;
}

bool SpoolFile::Open() {
    file_.reset(OpenAnonymousFile());
    size_ = 0;
    return file_ != nullptr || Fail();
}

bool SpoolFile::Append(std::string_view data) {
    if (!file_) {
        return false;
    }
    if (std::fwrite(data.data(), 1, data.size(), file_.get()) != data.size()) {
        return Fail();
    }
    size_ += data.size();
    return true;
}

bool SpoolFile::Rewind() {
    if (!file_) {
        return false;
    }
    // Buffered bytes must reach the file before it is read, so the count holds.
    if (std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) {
        return Fail();
    }
    return true;
}

bool SpoolFile::ReadChunk(std::string& chunk, std::size_t maxSize) {
    if (!file_) {
        return false;
    }
    chunk.resize(maxSize);
    const std::size_t count = std::fread(chunk.data(), 1, maxSize, file_.get());
    chunk.resize(count);
    if (count < maxSize && std::ferror(file_.get())) {
        return Fail();
    }
    return true;
}
