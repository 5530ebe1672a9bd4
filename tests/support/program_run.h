#pragma once

#include <string>
#include <vector>

// What a program run by a test did.
struct ProgramResult {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the program (a path, or a name looked up along PATH) with the arguments, no shell involved,
// feeding `input` to its standard input byte for byte and keeping both outputs as bytes. It
// inherits this process's environment. Throws std::runtime_error when it cannot be started.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input = {});
