#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// TSPL (TSC's label language, TSPL2): one command a line, its word then comma-separated
// parameters; BITMAP's and DOWNLOAD's binary data counted and skipped; ESC ! immediate
// commands; labels counted by PRINT m,n (m sets of n copies). The commands are rows of a
// table (tspl_decoder.cpp).
class TsplDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<TsplDecoder>(*this);
    }

    // A line keeps at most this many bytes; the rest is counted.
    static constexpr std::size_t LineLimit = 256;

private:
    void Byte(char byte, CommandSink& sink);
    void Comma();
    void FinishLine(CommandSink& sink, std::string problem = {});
    void FinishImmediate(CommandSink& sink, bool cut);
    void Print(const std::vector<std::string>& values);

    CommandBuilder command_{CommandLanguage::Tspl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    std::string line_;
    bool quoted_ = false;
    int commas_ = 0;
    // An ESC ! command's bytes still to come.
    int immediateLeft_ = 0;
    // Binary data after BITMAP's or DOWNLOAD's sizes: what is left, and how much in all.
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
};
