#include "core/file_error.h"

#include <cstring>
#include <utility>

FileError::FileError(std::string path, std::string operation, std::string reason)
    : std::runtime_error("Could not " + operation + " \"" + path + "\": " + reason),
      path_(std::move(path)), reason_(std::move(reason)) {}

FileError FileError::FromErrno(std::string path, std::string operation, int error) {
    return FileError(std::move(path), std::move(operation), std::strerror(error));
}
