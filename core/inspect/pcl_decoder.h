#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

// PCL 5, the page printers' language: two-character escapes (ESC E), parameterized
// escapes (ESC & l 1 O, combined as ESC & l 1 o 2 A), the data that follows a W-ended
// one (raster rows, font headers) counted and skipped, text runs, and the control bytes
// (CR, LF, FF). Pages are counted by form feeds and by a reset after printed content.
// The commands and their values' words are rows of tables (pcl_decoder.cpp).
class PclDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override;
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<PclDecoder>(*this);
    }

private:
    enum class State { Idle, Text, Escape, Group, Value, Data };

    void Byte(char byte, CommandSink& sink);
    void StartCommand(char byte, CommandSink& sink);
    // In a summary, a parameterized escape lying whole in the piece from the ESC at `at`, in
    // one step when it has no problem and carries no data: only counted. False, with nothing
    // done, for any other; else `at` is on its last byte.
    bool TakeEscape(std::string_view bytes, std::size_t& at, CommandSink& sink);
    void EscapeByte(char byte, CommandSink& sink);
    void ValueByte(char byte, CommandSink& sink);
    // One parameter ended by `letter`: its meaning appended.
    void Parameter(char letter);
    // A row's meaning (null for an unknown parameter) with the value filled in, appended to
    // the escape's.
    void Describe(const char* meaning, char key, long long value);
    // The meaning written from the parameters a summary kept, once a problem shows.
    void Retell();
    // A text's or a value's bytes, taken at once.
    void TakeRun(std::string_view run);
    void FinishEscape(CommandSink& sink);
    void FinishText(CommandSink& sink);

    CommandBuilder command_{CommandLanguage::Pcl5};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    State state_ = State::Idle;
    char family_ = 0;
    char group_ = 0;
    std::string value_;
    bool valueTooLong_ = false;
    std::string meaning_;
    bool meaningCut_ = false;
    // In a summary: each parameter's value and letter, the first KeptLimit of them.
    std::string said_;
    std::size_t kept_ = 0;
    bool keptAll_ = true;
    std::string problem_;
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
    bool content_ = false;
};
