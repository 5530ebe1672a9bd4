#pragma once

#include "core/inspect/command_language.h"

#include <cstdint>
#include <string>
#include <string_view>

// Where the split parts go: the bytes of each part in order, with Boundary() between two.
class SplitSink {
public:
    virtual ~SplitSink() = default;
    virtual void Bytes(std::string_view bytes) = 0;
    virtual void Boundary() = 0;
};

// A file cut into its jobs, fed in pieces of any size: at UEL-separated PJL jobs (a job's
// closing "@PJL EOJ" and UEL stay with it), and in a file of ZPL, CPCL or TSPL at each
// label or print unit (ZPL ^XA, CPCL "! 0 ...", the line after a TSPL PRINT). Every byte
// reaches the sink exactly once, so the parts' concatenation is the file. Memory is
// bounded: a job's PJL header is looked ahead at most HoldLimit bytes.
class PartSplitter {
public:
    explicit PartSplitter(SplitSink& sink);

    void Feed(std::string_view bytes);
    void End();

    static constexpr std::size_t HoldLimit = 1 << 20;

private:
    void Byte(char byte);
    void LineStart(char byte);
    void LineEnd();
    void DataBegins();
    void SplitAt(std::uint64_t offset);
    void Flush(std::uint64_t upTo);
    void FlushSafe();
    void Decide();

    SplitSink& sink_;
    // Bytes not yet handed on, from `heldFrom_` on.
    std::string held_;
    std::uint64_t heldFrom_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t partBytes_ = 0;
    // The file's language by its opening: what its units are.
    bool decided_ = false;
    CommandLanguage language_ = CommandLanguage::Unknown;
    std::size_t uelMatched_ = 0;
    bool sawUel_ = false;
    // PJL lines after a UEL, until the job's data begins.
    bool inPjl_ = false;
    bool jobHasData_ = false;
    bool candidate_ = false;
    std::uint64_t candidateAt_ = 0;
    bool candidateFinal_ = false;
    bool sawEoj_ = false;
    // The current line's start and first bytes.
    std::uint64_t lineStart_ = 0;
    std::string line_;
    bool atLineStart_ = true;
    bool unitSeen_ = false;
    bool afterPrint_ = false;
    std::size_t zplMatched_ = 0;
};
