#include "core/whole_file.h"

#include "core/file_error.h"

#ifdef _WIN32
#include "core/win_text.h"
#endif

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

#ifdef __linux__
#include <sys/mman.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file in the mode ("rb", "r+b", "wb"); a null handle with errno set when it
// can't be opened. On Windows the name goes to the system in its wide form, so that a
// name outside the ANSI code page opens that file and no other.
FileHandle OpenFileOrNull(const std::string& path, const char* mode) {
    errno = 0;
#ifdef _WIN32
    const std::filesystem::path name = modTools::FileSystemPath(path);
    if (name.empty()) {
        errno = path.empty() ? ENOENT : EILSEQ;
        return nullptr;
    }
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return FileHandle(_wfopen(name.c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

FileHandle OpenFile(const std::string& path, const char* mode, const char* operation) {
    FileHandle file = OpenFileOrNull(path, mode);
    if (!file) {
        throw FileError::FromErrno(path, operation, errno);
    }
    return file;
}

// Closes the file and reports a failed flush (a full disk shows up here).
void CloseAfterWriting(FileHandle file, const std::string& path) {
    errno = 0;
    if (std::fclose(file.release()) != 0) {
        throw FileError::FromErrno(path, "write", errno);
    }
}

#ifdef _WIN32
// A folder search for one name finds only ordinary files: one the system marks hidden or
// as its own counts as missing there, and so it does here.
bool IsHiddenOrSystem(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}
#endif

std::uintmax_t SizeOf(const std::string& path, const char* operation) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(modTools::FileSystemPath(path), error);
    if (error) {
        throw FileError(path, operation, error.message());
    }
    return size;
}

// Gives the buffer room for `size` bytes. A print file can be hundreds of megabytes; on
// Linux the buffer is backed by huge pages where the kernel allows, which makes filling it
// several times faster than faulting in 4 KiB pages one by one.
void MakeRoom(std::string& content, std::size_t size) {
    content.reserve(size);
#ifdef __linux__
    constexpr std::uintptr_t HugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(content.data());
    const std::uintptr_t alignedBegin = (begin + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t alignedEnd = (begin + size) & ~(HugePage - 1);
    if (alignedEnd > alignedBegin) {
        // Only a hint: where it is refused, the read works the same, just slower.
        madvise(reinterpret_cast<void*>(alignedBegin), alignedEnd - alignedBegin, MADV_HUGEPAGE);
    }
#endif
    content.resize(size);
}

// Reads until end of file into `content`, which already has room for the measured size;
// keeps only what was read, so a file that shrank is not padded and one that grew is
// read whole.
void ReadAll(std::FILE* file, const std::string& path, std::string& content) {
    std::size_t filled = 0;
    constexpr std::size_t Chunk = 1 << 20;
    for (;;) {
        if (filled == content.size()) {
            content.resize(content.size() + Chunk);
        }
        const std::size_t read =
            std::fread(content.data() + filled, 1, content.size() - filled, file);
        filled += read;
        if (read == 0 || filled < content.size()) {
            if (std::ferror(file)) {
                throw FileError::FromErrno(path, "read", errno);
            }
            if (std::feof(file)) {
                break;
            }
        }
    }
    content.resize(filled);
}

// Opens the file and reads it whole; a file that can't be opened (gone since it was
// looked up, say) is a FileError.
std::string ReadOpenedFile(const std::string& path) {
    FileHandle file = OpenFile(path, "rb", "read");
    try {
        std::string content;
        const std::uintmax_t size = SizeOf(path, "read");
        // A 32-bit program can't even count the bytes of a file over 4 GiB.
        if (size >= content.max_size()) {
            throw std::length_error("file size");
        }
        // One byte more than the size, so that the read of an unchanged file meets the end
        // of file without growing the buffer.
        MakeRoom(content, static_cast<std::size_t>(size) + 1);
        errno = 0;
        ReadAll(file.get(), path, content);
        return content;
    } catch (const std::bad_alloc&) {
        throw FileError(path, "read", "not enough memory to hold the whole file");
    } catch (const std::length_error&) {
        throw FileError(path, "read", "the file is too large to hold in memory");
    }
}

} // namespace

namespace modTools {

std::filesystem::path FileSystemPath(const std::string& path) {
#ifdef _WIN32
    const std::optional<std::wstring> wide = WinText::Wide(path);
    return wide ? std::filesystem::path(*wide) : std::filesystem::path();
#else
    return std::filesystem::path(path);
#endif
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(FileSystemPath(path), error));
}

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path name = FileSystemPath(path);
    if (!std::filesystem::is_regular_file(name, error)) {
        return false;
    }
#ifdef _WIN32
    return !IsHiddenOrSystem(name);
#else
    return true;
#endif
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(FileSystemPath(path), error);
    return error ? std::nullopt : std::optional<std::uint64_t>(size);
}

std::string ReadWholeFile(const std::string& path) {
    if (!IsRegularFile(path)) {
        return {};
    }
    return ReadOpenedFile(path);
}

void RequireRegularFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path name = FileSystemPath(path);
    if (name.empty() && !path.empty()) {
        throw FileError::FromErrno(path, "read", EILSEQ);
    }
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (error) {
        throw FileError(path, "read", error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw FileError(path, "read", "it is not a regular file");
    }
#ifdef _WIN32
    if (IsHiddenOrSystem(name)) {
        throw FileError(path, "read", "it is a hidden or system file");
    }
#endif
}

std::string ReadExistingFile(const std::string& path) {
    RequireRegularFile(path);
    return ReadOpenedFile(path);
}

bool WriteWholeFile(const std::string& path, std::string_view content) {
    // "r+b" keeps an existing file's bytes beyond the new content; "wb" only creates.
    FileHandle file = OpenFileOrNull(path, "r+b");
    if (!file) {
        if (errno != ENOENT) {
            throw FileError::FromErrno(path, "open", errno);
        }
        file = OpenFile(path, "wb", "create");
    }
    errno = 0;
    if (std::fwrite(content.data(), 1, content.size(), file.get()) != content.size()) {
        throw FileError::FromErrno(path, "write", errno);
    }
    CloseAfterWriting(std::move(file), path);
    return SizeOf(path, "measure") == content.size();
}

} // namespace modTools
