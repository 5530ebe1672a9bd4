#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class ByteSource;
class Inspection;
namespace CliArguments {
struct Request;
}

// tolvenmark-cli inspect: what a file (or standard input) holds, read once in pieces so
// that any size takes the same memory. A summary by default (its languages with byte
// ranges, the counts, the malformed commands); with --commands every command, one a line
// (offset, tokens, meaning, problem); with --json the same as one JSON object; with
// --split DIR also its jobs, labels or print units as DIR/part-N.prn.
class InspectCommand {
public:
    InspectCommand(std::istream& in, std::ostream& out, std::ostream& err);

    // 0 when nothing is malformed, 1 when something is or the file can't be read or split.
    int Run(const CliArguments::Request& request);

private:
    void Inspect(ByteSource& source, Inspection& inspection, const std::string& splitDir);
    void WriteSummary(const std::string& name, const Inspection& inspection);
    void WriteJsonSummary(const std::string& name, const Inspection& inspection);

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    bool json_ = false;
};
