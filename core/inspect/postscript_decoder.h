#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

struct DscRow;

// PostScript, lightly: the document structuring comments ("%!PS-Adobe-3.0", "%%Pages: 3",
// "%%Page: 1 1", "%%BeginDocument" ... "%%EndDocument", "%%EOF") are commands with their
// meanings; the program between them is not looked at, only counted in runs of lines
// ("PostScript program: 120 lines"), so binary or hex data in it costs nothing. A Ctrl-D
// at a line's start ends the job. The bytes a "%%BeginBinary:" or "%%BeginData:" comment
// announces are skipped as one command: binary data may hold anything. A job's pages are
// the larger of its "%%Pages:" and its "%%Page:" comments, those of embedded documents left
// out. The comments are rows of a table (postscript_decoder.cpp).
class PostScriptDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<PostScriptDecoder>(*this);
    }

    // A comment line keeps at most this many bytes; the rest is counted.
    static constexpr std::size_t LineLimit = 256;
    // A run of program lines is handed on after at most this many lines.
    static constexpr std::uint64_t RunLimit = 10000;

private:
    void Byte(char byte, CommandSink& sink);
    void LineStart(char byte, CommandSink& sink);
    void EndLine(CommandSink& sink);
    void EnsureRun(std::uint64_t offset);
    void FinishRun(CommandSink& sink);
    void FinishComment(CommandSink& sink);
    // What a comment does to the counts and the nesting; returns its problem, or empty.
    std::string Structure(const DscRow& row, const std::string& value);
    // Binary data a %%BeginBinary: or %%BeginData: comment announced: skipped, not read.
    void Announce(const DscRow& row, const std::string& value);
    void DataByte(char byte, CommandSink& sink);
    void SkipData(std::uint64_t count, CommandSink& sink);
    void FinishData(CommandSink& sink, std::string problem);
    // A Ctrl-D: the job's pages are settled, and a new job may begin with its own "%!".
    void EndJob();

    CommandBuilder command_{CommandLanguage::PostScript};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    std::uint64_t begun_ = 0;
    // The line being read: at its start, after a '%' held back, inside a comment, and
    // after a CR that a LF may still join.
    bool atLineStart_ = true;
    bool heldPercent_ = false;
    std::uint64_t heldOffset_ = 0;
    bool comment_ = false;
    bool pendingEnd_ = false;
    std::string line_;
    bool run_ = false;
    std::uint64_t runLines_ = 0;
    // Embedded documents open, and where the outermost began.
    std::uint64_t depth_ = 0;
    std::uint64_t documentOffset_ = 0;
    bool declared_ = false;
    std::uint64_t declaredPages_ = 0;
    std::uint64_t pageComments_ = 0;
    // The jobs a Ctrl-D ended: their pages, declared pages and %%Page: comments.
    std::uint64_t jobPages_ = 0;
    std::uint64_t jobsDeclared_ = 0;
    std::uint64_t jobsComments_ = 0;
    bool anyDeclared_ = false;
    // Announced binary data still to come, and how much in all.
    std::uint64_t dataLeft_ = 0;
    std::uint64_t dataTotal_ = 0;
};
