#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

// PJL, the job language around a printer's page description: the UEL (ESC%-12345X) and
// "@PJL" lines up to their line feed. The commands are rows of a table (pjl_decoder.cpp).
class PjlDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<PjlDecoder>(*this);
    }

    // A line keeps at most this many bytes; a longer one is counted and marked.
    static constexpr std::size_t LineLimit = 256;

private:
    void Byte(char byte, CommandSink& sink);
    void FinishLine(CommandSink& sink, bool ended);
    void FinishUel(CommandSink& sink);
    // A line's bytes after its first, taken at once; `ends` when they end it.
    void TakeRun(std::string_view run, bool ends);
    // In a summary, a whole line (its line feed included) that is no UEL, in one step when
    // it has no problem: only counted, read in place. False, with nothing done, for any other.
    bool TakeSound(std::string_view line);

    CommandBuilder command_{CommandLanguage::Pjl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    std::string line_;
    std::size_t uelMatched_ = 0;
};
