#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

struct ZplRow;

// ZPL, the label printers' language: ^ and ~ commands of two characters and their
// comma-separated parameters, which run up to the next command; ^GF's binary image data
// counted and skipped; labels from ^XA to ^XZ, each printed ^PQ times. The commands are
// rows of a table (zpl_decoder.cpp) with their parameters' names and accepted values.
class ZplDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<ZplDecoder>(*this);
    }

    // A parameter keeps at most this many bytes; a longer one is counted and marked.
    static constexpr std::size_t ParameterLimit = 256;

private:
    enum class State { Idle, Stray, Code, Params, Binary };

    void Byte(char byte, CommandSink& sink);
    void StartCommand(char byte);
    void Param(char byte);
    void FinishCommand(CommandSink& sink);
    void FinishStray(CommandSink& sink);
    std::string Meaning(const ZplRow* row) const;
    std::string Problem(const ZplRow* row) const;
    // ^XA, ^XZ and ^PQ: the label they open, close or count.
    std::string Structure(const std::string& code);
    bool IsPrefix(char byte) const { return byte == caret_ || byte == tilde_; }

    CommandBuilder command_{CommandLanguage::Zpl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    State state_ = State::Idle;
    char caret_ = '^';
    char tilde_ = '~';
    char prefix_ = '^';
    std::string code_;
    // The parameters' first ParameterLimit bytes, and how many there were.
    std::string params_;
    std::uint64_t paramLength_ = 0;
    // ^GFB: commas seen, and the binary bytes still to come.
    int commas_ = 0;
    bool graphic_ = false;
    bool takesOneCharacter_ = false;
    std::uint64_t binaryLeft_ = 0;
    std::uint64_t binaryTotal_ = 0;
    bool inLabel_ = false;
    std::uint64_t labelOffset_ = 0;
    std::uint64_t quantity_ = 1;
};
