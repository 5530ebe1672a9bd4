#include "core/file_reader.h"

#include "core/file_error.h"
#include "core/whole_file.h"

#include <cerrno>

FileReader::FileReader(std::string path) : path_(std::move(path)) {
    errno = 0;
#ifdef _WIN32
    // The path is UTF-8; the narrow fopen would read it in the ANSI code page.
    file_.reset(_wfopen(modTools::FileSystemPath(path_).c_str(), L"rb"));
#else
    file_.reset(std::fopen(path_.c_str(), "rb"));
#endif
    if (!file_) {
        throw FileError::FromErrno(path_, "read", errno);
    }
}

std::size_t FileReader::Read(char* buffer, std::size_t capacity) {
    errno = 0;
    const std::size_t read = std::fread(buffer, 1, capacity, file_.get());
    if (read < capacity && std::ferror(file_.get())) {
        throw FileError::FromErrno(path_, "read", errno);
    }
    return read;
}

void FileReader::Seek(std::uint64_t offset) {
    errno = 0;
#ifdef _WIN32
    const int failed = _fseeki64(file_.get(), static_cast<__int64>(offset), SEEK_SET);
#else
    const int failed = fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET);
#endif
    if (failed != 0) {
        throw FileError::FromErrno(path_, "read", errno);
    }
}
