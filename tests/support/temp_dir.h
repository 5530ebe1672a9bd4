#pragma once

#include <filesystem>
#include <string>

// A fresh folder for one test, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes bytes to a file as they are, for test fixtures.
void WriteBytes(const std::string& path, const std::string& bytes);

// Reads a file's bytes as they are.
std::string ReadBytes(const std::string& path);

// The 256 byte values 0 to 255 in order.
std::string AllByteValues();
