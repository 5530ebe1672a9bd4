#include "core/inspect/inspection_summary.h"

#include "core/byte_count.h"
#include "core/inspect/decoded_command.h"
#include "core/inspect/document_counts.h"
#include "core/inspect/inspection.h"
#include "core/notation.h"
#include "core/safe_text.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {

// The parts one line names; the rest are counted.
constexpr std::size_t OneLineParts = 8;
// A name or a problem is shown whole up to this many bytes.
constexpr std::size_t ShownLength = 4096;

std::string Shown(std::string_view text) {
    return SafeText(text, ShownLength);
}

void AddCount(std::string& line, const char* what, std::uint64_t count) {
    if (count > 0) {
        line.append(", ").append(what).append(": ").append(std::to_string(count));
    }
}

std::string ImageCount(const DocumentCounts& counts) {
    std::string text = std::to_string(counts.images);
    if (counts.images > 0) {
        text.append(" (").append(modTools::ByteCountText(counts.imageBytes, "bytes")).append(")");
    }
    return text;
}

std::string PartLines(const Inspection& inspection) {
    std::string text;
    for (const Inspection::Part& part : inspection.Parts()) {
        text.append("  ")
            .append(InspectionSummary::ByteRange(part.offset, part.length))
            .append("\t")
            .append(LanguageName(part.language))
            .append("\n");
    }
    if (inspection.PartCount() > inspection.Parts().size()) {
        text.append("  ... and ")
            .append(std::to_string(inspection.PartCount() - inspection.Parts().size()))
            .append(" more parts\n");
    }
    return text;
}

std::string CountLine(const Inspection& inspection) {
    const DocumentCounts& counts = inspection.Counts();
    return "labels: " + std::to_string(counts.labels) + "  pages: " + std::to_string(counts.pages) +
           "  jobs: " + std::to_string(inspection.Jobs()) + "  images: " + ImageCount(counts) +
           "  commands: " + std::to_string(counts.commands) +
           "  problems: " + std::to_string(counts.problems) + "\n";
}

std::string ProblemLines(const Inspection& inspection) {
    std::string text;
    std::size_t shown = 0;
    for (const DecodedCommand& problem : inspection.Problems()) {
        if (shown++ == InspectionSummary::ShownProblems) {
            break;
        }
        text.append("problem at ")
            .append(std::to_string(problem.offset))
            .append(": ")
            .append(InspectionSummary::Tokens(problem))
            .append("  ")
            .append(Shown(problem.problem))
            .append("\n");
    }
    const std::uint64_t problems = inspection.Counts().problems;
    if (problems > InspectionSummary::ShownProblems) {
        text.append("... and ")
            .append(std::to_string(problems - InspectionSummary::ShownProblems))
            .append(" more problems\n");
    }
    return text;
}

} // namespace

namespace InspectionSummary {

std::string Tokens(const DecodedCommand& command) {
    std::string tokens = modTools::BytesToNotation(command.head);
    if (command.length > command.head.size()) {
        tokens += "...";
    }
    return Shown(tokens);
}

std::string ByteRange(std::uint64_t offset, std::uint64_t length) {
    return "bytes " + std::to_string(offset) + "-" +
           std::to_string(length == 0 ? offset : offset + length - 1);
}

std::string CodePages(const DocumentCounts& counts) {
    std::string text;
    for (const DocumentCounts::CodePageUse& use : counts.codePages) {
        text.append(text.empty() ? "" : ", ")
            .append(use.name)
            .append(" from offset ")
            .append(std::to_string(use.offset));
    }
    return Shown(text);
}

std::string Text(const std::string& name, const Inspection& inspection) {
    std::string text = Shown(name) + ": " + std::to_string(inspection.Size()) + " bytes\n";
    text += PartLines(inspection);
    text += CountLine(inspection);
    const std::string pages = CodePages(inspection.Counts());
    if (!pages.empty()) {
        text += "code pages: " + pages + "\n";
    }
    return text + ProblemLines(inspection);
}

std::string OneLine(const std::string& name, const Inspection& inspection) {
    std::string line = Shown(name) + ":";
    const char* separator = " ";
    const std::vector<Inspection::Part>& parts = inspection.Parts();
    const std::size_t shown = std::min(parts.size(), OneLineParts);
    for (const Inspection::Part& part : std::span(parts).first(shown)) {
        line.append(separator)
            .append(LanguageName(part.language))
            .append(" (")
            .append(ByteRange(part.offset, part.length))
            .append(")");
        separator = ", ";
    }
    if (inspection.PartCount() > shown) {
        line.append(" and ")
            .append(std::to_string(inspection.PartCount() - shown))
            .append(" more parts");
    }
    if (inspection.PartCount() == 0) {
        line += " empty";
    }
    const DocumentCounts& counts = inspection.Counts();
    AddCount(line, "labels", counts.labels);
    AddCount(line, "pages", counts.pages);
    AddCount(line, "jobs", inspection.Jobs());
    if (counts.images > 0) {
        line.append(", images: ").append(ImageCount(counts));
    }
    AddCount(line, "problems", counts.problems);
    const std::string pages = CodePages(counts);
    if (!pages.empty()) {
        line += ", code pages: " + pages;
    }
    return line;
}

} // namespace InspectionSummary
