#pragma once

#include "core/inspect/command_decoder.h"
#include "core/inspect/command_sink.h"
#include "core/inspect/decoded_command.h"
#include "core/inspect/document_counts.h"
#include "core/inspect/language_detector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A whole file inspected in one pass: the languages of its parts (LanguageDetector),
// each part's commands decoded by its language's decoder and handed to a sink, and the
// counts. Memory stays bounded whatever the file's size: the parts and the problems
// listed are the first PartLimit and ProblemLimit, the rest only counted.
class Inspection : private CommandSink {
public:
    struct Part {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        CommandLanguage language = CommandLanguage::Unknown;
    };

    static constexpr std::size_t PartLimit = 1000;
    static constexpr std::size_t ProblemLimit = 100;

    // `commands` gets every command decoded, or nothing when null.
    explicit Inspection(CommandSink* commands = nullptr);
    ~Inspection() override;

    void Feed(std::string_view bytes);
    void End();

    std::uint64_t Size() const { return total_; }
    const std::vector<Part>& Parts() const { return parts_; }
    std::uint64_t PartCount() const { return partCount_; }
    const DocumentCounts& Counts() const { return counts_; }
    std::uint64_t Jobs() const { return detector_.Jobs(); }
    const std::vector<DecodedCommand>& Problems() const { return problems_; }
    // Whether any command is malformed. A part in no language recognised is not: it is
    // only not understood.
    bool Malformed() const { return counts_.problems > 0; }

private:
    void Command(const DecodedCommand& command) override;
    void Route(std::uint64_t upTo);
    void OpenPart(const LanguageDetector::Start& start);
    void ClosePart(std::uint64_t end);

    CommandSink* commands_;
    LanguageDetector detector_;
    std::unique_ptr<CommandDecoder> decoder_;
    // Bytes fed but not yet handed to a decoder, from `routed_` on.
    std::string pending_;
    std::uint64_t routed_ = 0;
    std::uint64_t total_ = 0;
    bool partOpen_ = false;
    Part part_;
    std::vector<Part> parts_;
    std::uint64_t partCount_ = 0;
    DocumentCounts counts_;
    std::vector<DecodedCommand> problems_;
};
