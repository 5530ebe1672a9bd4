// Any bytes through the inspection: each decoder fed directly (the first byte picks the
// language and the piece size), then the whole inspection and the splitter. The commands
// tile the bytes in order within the input and keep bounded heads, the parts cover the
// file, the split parts put together are the input, and a summary finds the counts and
// problems the listing of every command finds.
#include "core/inspect/command_decoder.h"
#include "core/inspect/command_sink.h"
#include "core/inspect/decoded_command.h"
#include "core/inspect/inspection.h"
#include "core/inspect/part_splitter.h"
#include "tests/fuzz/fuzz_check.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

constexpr std::array<CommandLanguage, 9> Decoded{
    CommandLanguage::EscPos, CommandLanguage::Zpl,        CommandLanguage::Pjl,
    CommandLanguage::Pcl5,   CommandLanguage::Epl,        CommandLanguage::Tspl,
    CommandLanguage::Cpcl,   CommandLanguage::PostScript, CommandLanguage::PclXl};

class OrderCheck final : public CommandSink {
public:
    explicit OrderCheck(std::string_view input) : input_(input) {}

    void Command(const DecodedCommand& command) override {
        Require(command.offset >= next_, "commands come in order without overlap", input_);
        Require(command.head.size() <= DecodedCommand::HeadLimit, "the head is bounded", input_);
        Require(command.head.size() <= command.length, "the head is part of the command", input_);
        next_ = command.offset + command.length;
        Require(next_ <= input_.size(), "a command ends within the input", input_);
    }

private:
    std::string_view input_;
    std::uint64_t next_ = 0;
};

class Joined final : public SplitSink {
public:
    void Bytes(std::string_view bytes) override { text.append(bytes); }
    void Boundary() override {}
    std::string text;
};

// Whether a summary found what the listing of every command found: counts and problems.
bool SameFindings(const Inspection& summary, const Inspection& listing) {
    const DocumentCounts& a = summary.Counts();
    const DocumentCounts& b = listing.Counts();
    if (a.labels != b.labels || a.pages != b.pages || a.images != b.images ||
        a.imageBytes != b.imageBytes || a.problems != b.problems || a.commands != b.commands ||
        summary.Jobs() != listing.Jobs() ||
        summary.Problems().size() != listing.Problems().size()) {
        return false;
    }
    for (std::size_t i = 0; i < summary.Problems().size(); ++i) {
        const DecodedCommand& x = summary.Problems()[i];
        const DecodedCommand& y = listing.Problems()[i];
        if (x.offset != y.offset || x.length != y.length || x.head != y.head || x.name != y.name ||
            x.meaning != y.meaning || x.problem != y.problem) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] / Decoded.size() % 16;
    const CommandLanguage language = Decoded[data[0] % Decoded.size()];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    OrderCheck order(input);
    std::unique_ptr<CommandDecoder> decoder = CommandDecoder::For(language);
    decoder->Begin(0);
    for (std::size_t at = 0; at < input.size(); at += piece) {
        decoder->Feed(input.substr(at, piece), order);
    }
    decoder->End(order);

    OrderCheck inspected(input);
    Inspection inspection(&inspected);
    Joined joined;
    PartSplitter splitter(joined);
    for (std::size_t at = 0; at < input.size(); at += piece) {
        inspection.Feed(input.substr(at, piece));
        splitter.Feed(input.substr(at, piece));
    }
    inspection.End();
    // A summary, fed in pieces of another size, finds what the listing found.
    Inspection summary;
    const std::size_t summaryPiece = 1 + piece * 5 % 23;
    for (std::size_t at = 0; at < input.size(); at += summaryPiece) {
        summary.Feed(input.substr(at, summaryPiece));
    }
    summary.End();
    Require(SameFindings(summary, inspection), "a summary finds what the listing finds", input);
    splitter.End();
    std::uint64_t next = 0;
    for (const Inspection::Part& part : inspection.Parts()) {
        Require(part.offset == next, "the parts follow each other", input);
        next = part.offset + part.length;
    }
    Require(next == input.size(), "the parts cover the input", input);
    Require(joined.text == input, "the split parts are the input", input);
    return 0;
}
