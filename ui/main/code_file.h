#pragma once

#include <string>
#include <string_view>

// Code files on disk as the Save command writes them.
namespace CodeFile {

// Whether anything of that name stands in its folder: a file, a folder, a hidden file, a
// link (even one that leads nowhere). The overwrite question is asked for all of them.
bool Exists(const std::string& path);

// Puts exactly `bytes` under `path`. They are written to a new file in the same folder,
// which takes the old file's place only once it is complete and flushed to the disk; when
// anything fails the old file stays as it was. A folder, a device or any other entry that
// is no regular file is never replaced. Throws FileError with the reason.
void Replace(const std::string& path, std::string_view bytes);

} // namespace CodeFile
