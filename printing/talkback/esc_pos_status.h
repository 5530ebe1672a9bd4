#pragma once

#include "printing/talkback/status_report.h"

#include <string>
#include <string_view>

// A receipt printer's status in ESC/POS: the four real-time queries (DLE EOT n) whose
// one-byte replies together say how the printer stands, and the four-byte block the printer
// sends of itself once automatic status back (GS a) is on. Only bytes in and out: the
// caller sends the queries and hands back what came.
class EscPosStatus {
public:
    // The real-time queries, by their n; the replies are taken in this order.
    enum class Query {
        Printer = 1,
        OfflineCause = 2,
        ErrorCause = 3,
        PaperSensor = 4,
    };
    static constexpr int kQueryCount = 4;
    static constexpr int kAutomaticStatusSize = 4;

    enum class Verdict {
        Complete,
        Incomplete,     // fewer bytes than the reply has: read on, or give up at the deadline
        NotStatusReply, // a byte without the fixed bits of the reply asked for
    };

    struct Reading {
        Verdict verdict = Verdict::Incomplete;
        StatusReport state; // filled only when complete
    };

    // DLE EOT n for one query.
    static std::string QueryBytes(Query query);
    // The four queries back to back, in the order Read takes their replies.
    static std::string AllQueries();

    // The replies to AllQueries(), one byte each, as they came so far.
    static Reading Read(std::string_view replies);
    // One automatic status back block, as it came so far.
    static Reading ReadAutomaticStatus(std::string_view block);
};
