#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Moving a file's whole content in and out of memory, byte for byte: no header, no
// line-end or code-page translation, no end-of-file character.
//
// Paths are UTF-8 byte strings on every platform. On Windows they reach the system in
// its wide form, so a name outside the ANSI code page is found, read and written as
// itself; a path that is no valid UTF-8 names nothing there.
namespace modTools {

// The path as the standard library's file-system calls take it: on Windows the UTF-8
// widened to the system's names, or an empty path when it is no valid UTF-8.
std::filesystem::path FileSystemPath(const std::string& path);

// True when anything of that name stands in its folder: a file (hidden ones too), a
// folder, a device, a link (even one that leads nowhere).
bool PathExists(const std::string& path);

// True when the path names a regular file (after following links). Folders, devices,
// FIFOs and sockets are not files here: reading one could block or never end. On
// Windows a file marked hidden or system counts as missing, as the system's own search
// for one name finds only ordinary files.
bool IsRegularFile(const std::string& path);

// The size of the file the path names, as the system reports it now; none when it can't
// say (no such file, not a file).
std::optional<std::uint64_t> FileSize(const std::string& path);

// The file's bytes, or an empty string when the path names no regular file (nothing is
// created then). Returns exactly the bytes read, even when the file changes size under
// the read. Throws FileError when the file exists but can't be read, or memory runs out.
std::string ReadWholeFile(const std::string& path);

// Throws FileError with the reason when the path names no regular file (on Windows also
// when it is marked hidden or system).
void RequireRegularFile(const std::string& path);

// The bytes of a file that must be there, as a queued print file must: like
// ReadWholeFile, but a path that names no regular file, or stops naming one before it is
// opened, is a FileError with the reason rather than an empty result.
std::string ReadExistingFile(const std::string& path);

// Writes the content from the first byte of the file, creating it when missing. An
// existing file is not emptied first, so the result is true only when the file is
// afterwards exactly as long as the content. Throws FileError when the file can't be
// opened or written.
bool WriteWholeFile(const std::string& path, std::string_view content);

} // namespace modTools
