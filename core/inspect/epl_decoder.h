#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

// EPL (EPL2), the line-command label language: one command a line, its letters then its
// comma-separated parameters; GW's binary image data counted and skipped; labels counted
// by P. The commands are rows of a table (epl_decoder.cpp).
class EplDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<EplDecoder>(*this);
    }

    static constexpr std::size_t LineLimit = 256;

private:
    void Byte(char byte, CommandSink& sink);
    // Whether the bytes from `at` to the line feed are taken at once.
    bool TakesRun(std::string_view bytes, std::size_t at) const;
    void StartLine();
    void FinishLine(CommandSink& sink, std::string problem = {});

    CommandBuilder command_{CommandLanguage::Epl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    std::string line_;
    int commas_ = 0;
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
};
