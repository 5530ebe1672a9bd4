#pragma once

#include <optional>
#include <string>

// Finding a program the way a shell would, without a shell: through the folders of a
// search path such as the PATH variable.
namespace ProgramSearch {

// The search path of this process: PATH, or the system's default path when PATH is unset.
std::string ProcessSearchPath();

// The first "folder/program" along the colon-separated search path that is a regular file
// this process may execute. A program name with a slash is taken as a path of its own and
// only checked. Empty path entries (which would mean the current folder) are skipped: a
// program is never started from wherever the process happens to stand.
std::optional<std::string> Find(const std::string& program, const std::string& searchPath);

} // namespace ProgramSearch
