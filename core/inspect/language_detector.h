#pragma once

#include "core/inspect/command_language.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where each language of a file begins, found in one pass over its bytes fed in pieces
// of any size, in constant memory. A part begins at the start, at each UEL (ESC%-12345X,
// which opens PJL), after each "@PJL ENTER LANGUAGE=" line and where PJL lines give way
// to other bytes; each part's language is the one PJL names, or else the one its first
// bytes show (LanguageSniffer).
class LanguageDetector {
public:
    struct Start {
        std::uint64_t offset = 0;
        CommandLanguage language = CommandLanguage::Unknown;
    };

    void Feed(std::string_view bytes);
    void End();

    // The parts whose language became known since the last call, in order.
    std::vector<Start> TakeStarts();
    // Every byte before this offset lies in a part whose start has been handed out.
    std::uint64_t Settled() const;

    // UEL-separated jobs: UEL parts that carry something other than PJL. A job's closing
    // UEL and "@PJL EOJ" belong to it.
    std::uint64_t Jobs() const { return jobs_; }
    // Pages a PostScript part declares in "%%Pages: N".
    std::uint64_t PostScriptPages() const { return postScriptPages_; }

private:
    enum class Mode { Sniff, Pjl, Known };

    void Byte(char byte);
    void UelFound();
    void Classify(bool whole);
    void Begin(std::uint64_t offset, CommandLanguage language);
    void PjlByte(char byte);
    // Whole PJL lines from `at`, each looked at in place while it lies whole in the piece
    // with no ESC (a UEL may begin at one): returns where the first other byte is.
    std::size_t TakePjlLines(std::string_view bytes, std::size_t at);
    // A PJL line's first LineLimit bytes, its line feed read (total_ past it).
    void PjlLine(std::string_view line);
    void PostScriptByte(char byte);

    Mode mode_ = Mode::Sniff;
    CommandLanguage language_ = CommandLanguage::Unknown;
    std::uint64_t total_ = 0;
    std::uint64_t partStart_ = 0;
    std::string window_;
    // A PJL or PostScript line's first bytes.
    std::string line_;
    bool lineCut_ = false;
    std::size_t uelMatched_ = 0;
    std::vector<Start> starts_;
    bool anyStart_ = false;
    std::uint64_t jobs_ = 0;
    bool sawUel_ = false;
    bool jobHasData_ = false;
    bool pageCounted_ = false;
    std::uint64_t postScriptPages_ = 0;
};
