#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Starts a program that goes on beside the test (a path, or a name looked up along PATH) with
// the arguments, no shell involved: standard input from /dev/null, its outputs to the files
// named (created or emptied; /dev/null by default). Returns its process id; throws
// std::runtime_error when it cannot be started. The caller ends it and waits for it.
pid_t SpawnProgram(std::vector<std::string> arguments, const std::string& out = "/dev/null",
                   const std::string& err = "/dev/null");
