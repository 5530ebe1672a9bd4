#pragma once

#include <string>
#include <vector>

// The process's edge with its console, made fit for bytes and UTF-8 names before a command
// runs. On Windows the C library opens the standard streams in text mode, which turns
// every line feed written into CR LF and ends input at the first 0x1A, and hands main its
// arguments in the ANSI code page, which best-fits a file or printer name to a look-alike.
// Elsewhere both are already right and nothing changes.
namespace ConsoleSetup {

// Standard input and output pass every byte unchanged.
void UseBinaryStandardStreams();

// The arguments after the program's name, as UTF-8.
std::vector<std::string> Arguments(int argc, char** argv);

} // namespace ConsoleSetup
