#include "core/inspect/part_splitter.h"

#include "core/inspect/language_sniffer.h"
#include "core/inspect/universal_exit.h"

#include <algorithm>

namespace {

constexpr std::string_view LabelStart = "^XA";
// How much of a line the rules look at.
constexpr std::size_t LineLimit = 32;

bool StartsWithUpper(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) {
        return false;
    }
    return std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
        return a == (b >= 'a' && b <= 'z' ? static_cast<char>(b - 32) : b);
    });
}

} // namespace

PartSplitter::PartSplitter(SplitSink& sink) : sink_(sink) {}

void PartSplitter::Feed(std::string_view bytes) {
    for (char byte : bytes) {
        held_.push_back(byte);
        ++total_;
        if (!decided_) {
            if (held_.size() < LanguageSniffer::WindowSize) {
                continue;
            }
            Decide();
            continue;
        }
        Byte(byte);
    }
    if (decided_) {
        FlushSafe();
    }
}

void PartSplitter::Decide() {
    decided_ = true;
    language_ = LanguageSniffer::Sniff(held_, false);
    // The held bytes go through the rules now that they are known.
    const std::string opening = held_;
    const std::uint64_t start = total_ - opening.size();
    total_ = start;
    held_.clear();
    heldFrom_ = start;
    for (char byte : opening) {
        held_.push_back(byte);
        ++total_;
        Byte(byte);
    }
}

void PartSplitter::Byte(char byte) {
    const std::uint64_t at = total_ - 1;
    if (byte == kUniversalExit[uelMatched_]) {
        if (++uelMatched_ == kUniversalExit.size()) {
            uelMatched_ = 0;
            const std::uint64_t uel = total_ - kUniversalExit.size();
            sawUel_ = true;
            inPjl_ = true;
            atLineStart_ = true;
            line_.clear();
            if (jobHasData_) {
                if (!candidate_) {
                    candidate_ = true;
                    candidateAt_ = uel;
                } else if (!candidateFinal_ && candidateAt_ + kUniversalExit.size() == uel) {
                    // Two UELs in a row: the first closed a job, the second opens one.
                    candidateAt_ = uel;
                    candidateFinal_ = true;
                } else if (sawEoj_ && !candidateFinal_) {
                    candidateAt_ = total_;
                    candidateFinal_ = true;
                }
            }
            return;
        }
    } else {
        uelMatched_ = byte == kUniversalExit[0] ? 1 : 0;
    }
    if (language_ == CommandLanguage::Zpl && !sawUel_) {
        zplMatched_ = byte == LabelStart[zplMatched_] ? zplMatched_ + 1 : (byte == '^' ? 1 : 0);
        if (zplMatched_ == LabelStart.size()) {
            zplMatched_ = 0;
            if (unitSeen_) {
                SplitAt(total_ - LabelStart.size());
            }
            unitSeen_ = true;
        }
    }
    if (atLineStart_) {
        atLineStart_ = false;
        lineStart_ = at;
        line_.clear();
        LineStart(byte);
    }
    if (byte == '\n') {
        LineEnd();
        atLineStart_ = true;
    } else if (line_.size() < LineLimit) {
        line_.push_back(byte);
    }
}

void PartSplitter::LineStart(char byte) {
    const bool blank = byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t';
    if (inPjl_) {
        if (byte != '@' && !blank && byte != '\x1b') {
            inPjl_ = false;
            DataBegins();
        }
        return;
    }
    if (!sawUel_ && !jobHasData_) {
        DataBegins();
    }
    if (sawUel_ || blank) {
        return;
    }
    if (language_ == CommandLanguage::Tspl && afterPrint_) {
        afterPrint_ = false;
        SplitAt(lineStart_);
    }
    if (language_ == CommandLanguage::Cpcl && byte == '!') {
        if (unitSeen_) {
            SplitAt(lineStart_);
        }
        unitSeen_ = true;
    }
}

void PartSplitter::LineEnd() {
    if (inPjl_) {
        if (StartsWithUpper(line_, "@PJL EOJ")) {
            sawEoj_ = true;
        } else if (StartsWithUpper(line_, "@PJL ENTER LANGUAGE")) {
            inPjl_ = false;
            DataBegins();
        }
        return;
    }
    if (language_ == CommandLanguage::Tspl && StartsWithUpper(line_, "PRINT")) {
        afterPrint_ = true;
    }
}

void PartSplitter::DataBegins() {
    if (jobHasData_ && candidate_) {
        SplitAt(candidateAt_);
    }
    jobHasData_ = true;
    candidate_ = false;
    candidateFinal_ = false;
    sawEoj_ = false;
}

void PartSplitter::SplitAt(std::uint64_t offset) {
    Flush(std::max(offset, heldFrom_));
    // A part is never empty: a split where one has just been made is the same split.
    if (partBytes_ > 0) {
        sink_.Boundary();
        partBytes_ = 0;
    }
}

void PartSplitter::Flush(std::uint64_t upTo) {
    if (upTo <= heldFrom_) {
        return;
    }
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(upTo - heldFrom_, held_.size()));
    sink_.Bytes(std::string_view(held_).substr(0, count));
    partBytes_ += count;
    held_.erase(0, count);
    heldFrom_ += count;
}

// Hands on every byte no split can fall before: all but a UEL or label start in progress,
// the current line's start, and a job's PJL header that may yet end in a split.
void PartSplitter::FlushSafe() {
    std::uint64_t keep = total_ - std::min<std::uint64_t>(total_, kUniversalExit.size());
    if (!atLineStart_ && total_ - lineStart_ <= LineLimit) {
        keep = std::min(keep, lineStart_);
    }
    if (candidate_) {
        if (total_ - candidateAt_ > HoldLimit) {
            candidate_ = false;
        } else {
            keep = std::min(keep, candidateAt_);
        }
    }
    Flush(keep);
}

void PartSplitter::End() {
    if (!decided_) {
        Decide();
    }
    Flush(total_);
}
