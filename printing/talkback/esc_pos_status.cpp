#include "printing/talkback/esc_pos_status.h"

#include <array>
#include <cstddef>

namespace {

using Condition = StatusReport::Condition;

// The bits every reply to one kind of request has the same, which tell it from other
// traffic: a real-time reply has bit 1 and bit 4 set, bits 0 and 7 clear; the first byte of
// an automatic status block has bit 4 set and bits 0, 1 and 7 clear, the other three bit 4
// and bit 7 clear.
struct FixedBits {
    unsigned char mask;
    unsigned char value;
};
constexpr FixedBits kRealTimeReply{0x93, 0x12};
constexpr FixedBits kAutomaticFirst{0x93, 0x10};
constexpr FixedBits kAutomaticRest{0x90, 0x00};

bool HasFixedBits(unsigned char byte, FixedBits fixed) {
    return (byte & fixed.mask) == fixed.value;
}

// One meaning of a reply byte: the byte's place (the query's n - 1, or the block's byte
// index), the bits that carry it (set when any is set: the printers set both of a pair) and
// the condition it is. `words` are the command reference's words, kept for reading the
// table against it and given as the printer's words for a general error.
struct BitMeaning {
    std::size_t byte;
    unsigned char bits;
    Condition condition;
    const char* words;
};

// DLE EOT n, Epson's ESC/POS command reference, "DLE EOT: Transmit real-time status".
// Left out: n = 1 bit 2 (drawer kick-out connector pin 3), bit 5 (waiting for online
// recovery: its cause is in n = 2) and bit 6 (feed button pressed); n = 2 bit 3 (paper
// being fed by the feed button).
constexpr std::array kRealTimeMeanings = {
    BitMeaning{0, 0x08, Condition::Offline, "offline"},
    BitMeaning{1, 0x04, Condition::CoverOpen, "cover is open"},
    BitMeaning{1, 0x20, Condition::PaperOut, "printing stops due to paper end"},
    BitMeaning{1, 0x40, Condition::Error, "error occurs"},
    BitMeaning{2, 0x04, Condition::Error, "recoverable error occurs"},
    BitMeaning{2, 0x08, Condition::CutterError, "autocutter error occurs"},
    BitMeaning{2, 0x20, Condition::Error, "unrecoverable error occurs"},
    BitMeaning{2, 0x40, Condition::Error, "automatically recoverable error occurs"},
    BitMeaning{3, 0x0C, Condition::PaperNearEnd, "roll paper near-end sensor: paper not present"},
    BitMeaning{3, 0x60, Condition::PaperOut, "roll paper end sensor: paper not present"},
};

// GS a, the same reference, "GS a: Enable/disable Automatic Status Back (ASB)", the four
// status bytes. Left out as above: first byte bits 2 (drawer pin 3) and 6 (feed button).
constexpr std::array kAutomaticMeanings = {
    BitMeaning{0, 0x08, Condition::Offline, "offline"},
    BitMeaning{0, 0x20, Condition::CoverOpen, "cover is open"},
    BitMeaning{1, 0x04, Condition::Error, "recoverable error occurs"},
    BitMeaning{1, 0x08, Condition::CutterError, "autocutter error occurs"},
    BitMeaning{1, 0x20, Condition::Error, "unrecoverable error occurs"},
    BitMeaning{1, 0x40, Condition::Error, "automatically recoverable error occurs"},
    BitMeaning{2, 0x03, Condition::PaperNearEnd, "roll paper near-end sensor: paper not present"},
    BitMeaning{2, 0x0C, Condition::PaperOut, "roll paper end sensor: paper not present"},
};

template <std::size_t N>
StatusReport Fold(std::string_view bytes, const std::array<BitMeaning, N>& meanings) {
    StatusReport state;
    for (const BitMeaning& meaning : meanings) {
        const auto byte = static_cast<unsigned char>(bytes[meaning.byte]);
        if ((byte & meaning.bits) == 0) {
            continue;
        }
        state.Add(meaning.condition);
        if (meaning.condition == Condition::Error) {
            if (!state.display.empty()) {
                state.display += "; ";
            }
            state.display += meaning.words;
        }
    }
    return state;
}

} // namespace

std::string EscPosStatus::QueryBytes(Query query) {
    return {'\x10', '\x04', static_cast<char>(query)};
}

std::string EscPosStatus::AllQueries() {
    return QueryBytes(Query::Printer) + QueryBytes(Query::OfflineCause) +
           QueryBytes(Query::ErrorCause) + QueryBytes(Query::PaperSensor);
}

EscPosStatus::Reading EscPosStatus::Read(std::string_view replies) {
    for (std::size_t i = 0; i < replies.size() && i < kQueryCount; ++i) {
        if (!HasFixedBits(static_cast<unsigned char>(replies[i]), kRealTimeReply)) {
            return {Verdict::NotStatusReply, {}};
        }
    }
    if (replies.size() < kQueryCount) {
        return {Verdict::Incomplete, {}};
    }
    return {Verdict::Complete, Fold(replies, kRealTimeMeanings)};
}

EscPosStatus::Reading EscPosStatus::ReadAutomaticStatus(std::string_view block) {
    for (std::size_t i = 0; i < block.size() && i < kAutomaticStatusSize; ++i) {
        const FixedBits fixed = i == 0 ? kAutomaticFirst : kAutomaticRest;
        if (!HasFixedBits(static_cast<unsigned char>(block[i]), fixed)) {
            return {Verdict::NotStatusReply, {}};
        }
    }
    if (block.size() < kAutomaticStatusSize) {
        return {Verdict::Incomplete, {}};
    }
    return {Verdict::Complete, Fold(block, kAutomaticMeanings)};
}
