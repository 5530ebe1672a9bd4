#pragma once

#include "printing/talkback/status_report.h"

#include <string>
#include <string_view>

// A label printer's status in ZPL: the host status (~HS), three framed lines of flags and
// counts, and the host status query (~HQES), the printer's error and warning flags as hex.
// Only bytes in and out: the caller sends the query and hands over what came so far, and
// asks again as more comes; Incomplete means read on until the deadline.
class ZplStatus {
public:
    enum class Verdict {
        Complete,
        Incomplete,  // a proper beginning of the reply, not all of it yet
        NotZplReply, // bytes no such reply has, or a field out of its form
    };

    struct HostStatus {
        Verdict verdict = Verdict::Incomplete;
        StatusReport state; // this and the counts are filled only when complete
        // What the job confirmation waits on: formats received but not yet printed, and
        // labels of the current batch still to print.
        long formatsInBuffer = 0;
        long labelsRemaining = 0;
    };

    struct QueryStatus {
        Verdict verdict = Verdict::Incomplete;
        StatusReport state;
    };

    static std::string HostStatusQuery() { return "~HS"; }
    static std::string QueryStatusQuery() { return "~HQES"; }

    static HostStatus ReadHostStatus(std::string_view reply);
    static QueryStatus ReadQueryStatus(std::string_view reply);
};
