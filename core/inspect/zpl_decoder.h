#pragma once

#include "core/code_pages/printer_code_table.h"
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
    void CodeByte(char byte);
    // A command whose code and end (the next prefix) both lie in the piece fed, read at
    // once: most of a label's are. False, with nothing done, for any other; else `at` is
    // on its last byte.
    bool TakeWhole(std::string_view bytes, std::size_t& at, CommandSink& sink);
    // In a summary, a whole command from its prefix up to the next, in one step when it has
    // no problem and changes no more than the label's structure: only counted, its bytes
    // looked at in place. False, with nothing done, for any other.
    bool TakeSound(std::string_view command);
    void Param(char byte);
    void FinishCommand(CommandSink& sink);
    void FinishStray(CommandSink& sink);
    std::string Meaning(const ZplRow* row) const;
    std::string Problem(const ZplRow* row) const;
    // ^XA, ^XZ and ^PQ: the label they open, close or count.
    std::string Structure();
    // ^CI, ^FH, ^FS and ^FD: the character set field data prints under, and its hex escapes.
    void ChangeEncoding();
    // ^FD's and ^FX's meaning: the characters the field prints.
    std::string FieldText(const std::string& meaning) const;
    bool IsPrefix(char byte) const { return byte == caret_ || byte == tilde_; }
    // Whether the command read is `two` (its code upper-cased), compared without a call:
    // a dense label asks this a dozen times a command.
    bool Is(const char (&two)[3]) const {
        return code_.size() == 2 && code_[0] == two[0] && code_[1] == two[1];
    }
    // Whether the bytes that follow up to the next prefix need no look one by one: stray
    // text, and parameters other than ^CC's and ^CT's character and ^GF's sizes.
    bool TakesRuns() const {
        return state_ == State::Stray ||
               (state_ == State::Params && !takesOneCharacter_ && (!graphic_ || commas_ >= 4));
    }
    void Run(std::string_view run);

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
    // The ^CI set field data prints under, and whether the summary's list of code pages
    // has it yet; ^FH's indicator while its field lasts, 0 when none.
    PrinterCodeTable charset_ = PrinterCodeTable::Zpl(0);
    bool charsetNoted_ = false;
    char hexIndicator_ = 0;
};
