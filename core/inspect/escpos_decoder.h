#pragma once

#include "core/code_pages/printer_code_table.h"
#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <array>
#include <cstdint>
#include <memory>

struct EscPosRow;

// ESC/POS, the receipt printers' language: control bytes (LF, CR, HT, FF), ESC, GS, FS
// and DLE commands with their parameter bytes, raster and bit images whose data is
// counted and skipped, and runs of text between them. The commands are rows of a table
// (escpos_decoder.cpp); their shapes (fixed parameters, a cut with an optional feed, an
// image with its data, a bar code) are the few kinds of layout the language has.
class EscPosDecoder final : public CommandDecoder {
public:
    EscPosDecoder();

    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<EscPosDecoder>(*this);
    }

private:
    enum class State { Idle, Text, Lead, Params, Data, UntilNul };

    void Byte(char byte, CommandSink& sink);
    void StartCommand(char byte, CommandSink& sink);
    // A command of fixed parameters that lies whole in the piece fed, read at once: most of
    // a receipt's are. False, with nothing done, for any other; else `at` is on its last byte.
    bool TakeWhole(std::string_view bytes, std::size_t& at, CommandSink& sink);
    // In a summary, a control byte or a command of fixed parameters lying whole in the piece,
    // in one step when it has no problem and leaves the code table alone: only counted.
    // False, with nothing done, for any other.
    bool TakeSound(const EscPosRow& row, std::string_view command, CommandSink& sink);
    void Lead(char byte, CommandSink& sink);
    void Param(char byte, CommandSink& sink);
    // Once the fixed parameters are in: how many more parameters or data bytes follow.
    void ParamsComplete(CommandSink& sink);
    void FinishCommand(CommandSink& sink, std::string problem = {});
    void FinishText(CommandSink& sink);
    std::string Meaning() const;
    std::string RangeProblem() const;
    // ESC t, ESC R and ESC @: the code table text is printed under from here on.
    void ChangeTable();

    CommandBuilder command_{CommandLanguage::EscPos};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    State state_ = State::Idle;
    char lead_ = 0;
    const EscPosRow* row_ = nullptr;
    // The parameter bytes read so far (no command has more than MaxParams before its data).
    std::array<unsigned char, 8> params_{};
    std::size_t paramCount_ = 0;
    std::size_t paramsWanted_ = 0;
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
    bool extended_ = false;
    // The code table and national set text prints under, and whether the summary's list of
    // code pages has it yet.
    PrinterCodeTable table_;
    bool tableNoted_ = false;
};
