#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// CPCL, the mobile label printers' language: a label opens with "! offset hres vres height
// quantity" and its commands, one a line with space-separated parameters, run to PRINT;
// "! U1" lines and "! U" sessions (to END) set the printer up. EG's hex and CG's binary
// image data are counted and skipped; labels are counted at PRINT, each its quantity.
// The commands are rows of a table (cpcl_decoder.cpp).
class CpclDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<CpclDecoder>(*this);
    }

    // A line keeps at most this many bytes; the rest is counted.
    static constexpr std::size_t LineLimit = 256;

private:
    enum class Session { None, Label, Utility };

    void Byte(char byte, CommandSink& sink);
    void Blank();
    void FinishLine(CommandSink& sink, std::string problem = {});
    void Header(CommandSink& sink, const std::string& rest);
    void Command(CommandSink& sink, const std::string& word, const std::string& rest,
                 std::string problem);
    // PRINT, END and ABORT: the session they close. Returns a problem or empty.
    std::string Close(const std::string& word);
    void Image(const std::vector<std::string>& values);
    // A label left open when another begins or the file ends.
    void Unclosed(CommandSink& sink);

    CommandBuilder command_{CommandLanguage::Cpcl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    std::string line_;
    std::uint64_t lineOffset_ = 0;
    int words_ = 0;
    bool inWord_ = false;
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
    Session session_ = Session::None;
    std::uint64_t sessionOffset_ = 0;
    std::uint64_t quantity_ = 1;
    // A multi-line bar code or text block's closing word ("ENDQR"), while one is open.
    std::string blockEnd_;
};
