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

    // Where a pass stands between two Feeds: enough to go on decoding from there with the
    // bytes that follow, and nothing of what came before (the parts and problems listed,
    // the counts). A few hundred bytes: the detector's and the decoder's held-back bytes
    // are bounded, and `pending` is at most the sniffer's window.
    struct Point {
        Point() = default;
        Point(const Point& other);
        Point& operator=(const Point& other);
        Point(Point&&) noexcept = default;
        Point& operator=(Point&&) noexcept = default;
        ~Point() = default;

        LanguageDetector detector;
        std::unique_ptr<CommandDecoder> decoder;
        std::string pending;
        std::uint64_t routed = 0;
        std::uint64_t total = 0;
        bool partOpen = false;
        Part part;
        // Commands decoded before this point: the row number of the next one.
        std::uint64_t commands = 0;
    };

    // `commands` gets every command decoded, or nothing when null.
    explicit Inspection(CommandSink* commands = nullptr);
    // Goes on from a point another inspection kept: the next byte fed is the one at
    // `from.total` in the file.
    Inspection(const Point& from, CommandSink* commands);
    ~Inspection() override;

    Inspection(const Inspection&) = delete;
    Inspection& operator=(const Inspection&) = delete;

    // Where this pass stands now; call it between two Feeds.
    Point Checkpoint() const;
    // Every command decoded so far, whether or not a sink takes them.
    std::uint64_t CommandsSeen() const { return commandsSeen_; }

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
    void Sound(std::uint64_t count) override { commandsSeen_ += count; }
    void Route(std::uint64_t upTo);
    // Takes the bytes routed during a Feed out of pending_, at once.
    void DropRouted();
    void OpenPart(const LanguageDetector::Start& start);
    void ClosePart(std::uint64_t end);

    CommandSink* commands_;
    LanguageDetector detector_;
    std::unique_ptr<CommandDecoder> decoder_;
    // Bytes fed but not yet handed to a decoder, from `routed_` on, after the first
    // `pendingRouted_`: those were handed on during this Feed and leave once it ends, so that
    // a piece of many parts is not moved down once for every part.
    std::string pending_;
    std::size_t pendingRouted_ = 0;
    std::uint64_t routed_ = 0;
    std::uint64_t total_ = 0;
    bool partOpen_ = false;
    Part part_;
    std::vector<Part> parts_;
    std::uint64_t partCount_ = 0;
    std::uint64_t commandsSeen_ = 0;
    DocumentCounts counts_;
    std::vector<DecodedCommand> problems_;
};
