#pragma once

#include <string>
#include <vector>

// Starting a program that runs on its own: not waited for, not watched, and never left
// behind as a zombie of this process.
namespace DetachedProcess {

// Starts the program named by the first argument (found along PATH unless it holds a
// slash) with the whole vector as its arguments, each passed as it is: no shell ever
// sees them. True once the program is running; false when it could not be found or
// executed, or the process could not be made.
//
// The program runs as a grandchild in a session of its own, so this process has no child
// to reap and the program outlives it. Only async-signal-safe calls are made between
// fork and exec, which keeps this safe in a process with threads (a Qt program).
bool Start(const std::vector<std::string>& arguments);

} // namespace DetachedProcess
