#pragma once

#include <stdexcept>
#include <string>

// A file-system failure: which file, what was being done to it and the system's reason.
// Thrown by the whole-file procedures and the raw file job, caught by the command that
// started the action and shown to the user.
class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string operation, std::string reason);

    // Builds the error from an errno value, in the C library's own words.
    static FileError FromErrno(std::string path, std::string operation, int error);

    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};
