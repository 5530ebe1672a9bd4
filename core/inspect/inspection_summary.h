#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Inspection;
struct DecodedCommand;
struct DocumentCounts;

// The words of an inspection's summary, one wording for every place that shows one: the
// inspect command, capture --show's line a job, and the viewer window. Everything that
// comes from the file (its name, its bytes, the problems) is made safe to show.
namespace InspectionSummary {

// The problems a summary lists; the rest are counted.
inline constexpr std::size_t ShownProblems = 20;

// The command's bytes as tokens, "..." where only its start is kept.
std::string Tokens(const DecodedCommand& command);

// "bytes 0-71": the offsets of the first and last byte.
std::string ByteRange(std::uint64_t offset, std::uint64_t length);

// "PC437 from offset 0, PC858 from offset 120": the code pages text prints under, each from
// where it begins; empty when the file selects none and prints no text.
std::string CodePages(const DocumentCounts& counts);

// The whole summary, a line each: the name and size, each part with its byte range and
// language, the counts, the code pages, and the first problems.
std::string Text(const std::string& name, const Inspection& inspection);

// One line for a whole file: its languages with their byte ranges (the first few), then what
// it holds,
// "job-3.prn: ZPL (bytes 0-1234), labels: 2, code pages: U.S.A. 1 from offset 3". Counts
// of nothing are left out.
std::string OneLine(const std::string& name, const Inspection& inspection);

} // namespace InspectionSummary
