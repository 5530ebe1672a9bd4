#include "printing/talkback/status_probe.h"

#include "core/safe_text.h"
#include "core/seconds_text.h"
#include "printing/job/job_failure.h"
#include "printing/job/printer_backend.h"
#include "printing/talkback/esc_pos_status.h"
#include "printing/talkback/zpl_status.h"

#include <algorithm>
#include <array>

namespace {

using namespace std::chrono_literals;

// How long one read waits before the stop and the deadline are looked at again.
constexpr std::chrono::milliseconds kReadSlice = 100ms;
// No status reply is longer; a printer that sends more than this is not answering.
constexpr std::size_t kHeardLimit = 16 * 1024;
// What is passed over of what the printer said before the question.
constexpr std::size_t kEarlierLimit = 256 * 1024;
// What of a reply that is no reply is shown.
constexpr std::size_t kHeardShown = 40;
// The ~HQES question after ~HS adds detail; a printer too old to know it is not waited on.
constexpr std::chrono::milliseconds kDetailWait = 2s;

struct QueryTitle {
    PrinterLanguage language;
    std::string_view name;
};
constexpr std::array<QueryTitle, 3> kQueryTitles{{
    {PrinterLanguage::EscPos, "the ESC/POS status query (DLE EOT)"},
    {PrinterLanguage::Zpl, "the ZPL status query (~HS)"},
    {PrinterLanguage::Pjl, "the PJL status query (INFO STATUS)"},
}};

ProbeReading Unheard(std::string heard) {
    ProbeReading reading;
    reading.verdict =
        heard.empty() ? ProbeReading::Verdict::Silent : ProbeReading::Verdict::Garbled;
    heard.resize(std::min(heard.size(), kHeardShown));
    reading.heard = std::move(heard);
    return reading;
}

// An automatic status block (GS a) the printer sends of itself may stand before the
// replies to our questions: it is taken off, as it is no reply to them.
void TakeOffAutomaticStatus(std::string& replies) {
    while (replies.size() >= EscPosStatus::kAutomaticStatusSize &&
           EscPosStatus::ReadAutomaticStatus(replies).verdict == EscPosStatus::Verdict::Complete &&
           EscPosStatus::Read(replies).verdict == EscPosStatus::Verdict::NotStatusReply) {
        replies.erase(0, EscPosStatus::kAutomaticStatusSize);
    }
}

} // namespace

StatusProbe::StatusProbe(PrinterBackend& backend, PrinterLanguage language,
                         const std::atomic<bool>* stop)
    : backend_(backend), language_(language), stop_(stop) {}

std::string_view StatusProbe::QueryName(PrinterLanguage language) {
    for (const QueryTitle& row : kQueryTitles) {
        if (row.language == language) {
            return row.name;
        }
    }
    return "a status query";
}

ProbeReading StatusProbe::Ask(std::chrono::milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    switch (language_) {
    case PrinterLanguage::EscPos:
        return AskEscPos(deadline);
    case PrinterLanguage::Zpl:
        return AskZpl(deadline, wait);
    case PrinterLanguage::Pjl:
        return AskPjl(deadline);
    default:
        return {};
    }
}

template <typename Feed>
bool StatusProbe::Listen(Clock::time_point deadline, std::string& heard, Feed feed) {
    std::array<char, 4096> buffer{};
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        if (stop_ != nullptr && stop_->load()) {
            throw JobFailure::Stopped();
        }
        const auto slice = std::min<std::chrono::milliseconds>(
            kReadSlice, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        const std::size_t count = backend_.Read(buffer.data(), buffer.size(), slice);
        if (count == 0) {
            continue;
        }
        const std::string_view bytes(buffer.data(), count);
        heard.append(bytes.substr(0, kHeardLimit - std::min(kHeardLimit, heard.size())));
        if (feed(bytes) || heard.size() >= kHeardLimit) {
            return heard.size() < kHeardLimit;
        }
    }
    return false;
}

void StatusProbe::PassOverEarlierBytes() {
    std::array<char, 4096> buffer{};
    std::size_t passed = 0;
    for (std::size_t count = 1; count > 0 && passed < kEarlierLimit; passed += count) {
        count = backend_.Read(buffer.data(), buffer.size(), 0ms);
        if (language_ == PrinterLanguage::Pjl) {
            std::optional<PjlStatus::Reply> device;
            TakePjl(std::string_view(buffer.data(), count), device);
        }
    }
}

ProbeReading StatusProbe::AskEscPos(Clock::time_point deadline) {
    PassOverEarlierBytes();
    backend_.Write(EscPosStatus::AllQueries());
    std::string heard;
    std::string replies;
    EscPosStatus::Reading reading;
    const bool whole = Listen(deadline, heard, [&](std::string_view bytes) {
        replies.append(bytes);
        TakeOffAutomaticStatus(replies);
        reading = EscPosStatus::Read(replies);
        return reading.verdict != EscPosStatus::Verdict::Incomplete;
    });
    if (!whole || reading.verdict != EscPosStatus::Verdict::Complete) {
        return Unheard(heard);
    }
    ProbeReading answer;
    answer.verdict = ProbeReading::Verdict::Answered;
    answer.state = reading.state;
    return answer;
}

ProbeReading StatusProbe::AskZpl(Clock::time_point deadline, std::chrono::milliseconds wait) {
    PassOverEarlierBytes();
    backend_.Write(ZplStatus::HostStatusQuery());
    std::string heard;
    std::string reply;
    ZplStatus::HostStatus host;
    const bool whole = Listen(deadline, heard, [&](std::string_view bytes) {
        reply.append(bytes);
        host = ZplStatus::ReadHostStatus(reply);
        return host.verdict != ZplStatus::Verdict::Incomplete;
    });
    if (!whole || host.verdict != ZplStatus::Verdict::Complete) {
        return Unheard(heard);
    }
    ProbeReading answer;
    answer.verdict = ProbeReading::Verdict::Answered;
    answer.state = host.state;
    answer.formatsInBuffer = host.formatsInBuffer;
    answer.labelsRemaining = host.labelsRemaining;

    backend_.Write(ZplStatus::QueryStatusQuery());
    std::string detailHeard;
    std::string detail;
    ZplStatus::QueryStatus query;
    Listen(Clock::now() + std::min(wait, kDetailWait), detailHeard, [&](std::string_view bytes) {
        detail.append(bytes);
        query = ZplStatus::ReadQueryStatus(detail);
        return query.verdict != ZplStatus::Verdict::Incomplete;
    });
    if (query.verdict == ZplStatus::Verdict::Complete) {
        answer.state.Merge(query.state);
    }
    return answer;
}

void StatusProbe::TakePjl(std::string_view bytes, std::optional<PjlStatus::Reply>& device) {
    for (PjlStatus::Reply& reply : pjl_.Feed(bytes)) {
        if (reply.kind == PjlStatus::Reply::Kind::JobEnded) {
            endedJobs_[reply.jobName] = reply.result.empty() ? "OK" : reply.result;
        } else if (reply.kind == PjlStatus::Reply::Kind::Device) {
            device = std::move(reply);
        }
    }
}

ProbeReading StatusProbe::AskPjl(Clock::time_point deadline) {
    PassOverEarlierBytes();
    backend_.Write(PjlStatus::StatusQuery());
    std::string heard;
    std::optional<PjlStatus::Reply> device;
    const bool whole = Listen(deadline, heard, [&](std::string_view bytes) {
        TakePjl(bytes, device);
        return device.has_value();
    });
    if (!whole || !device) {
        return Unheard(heard);
    }
    ProbeReading answer;
    answer.verdict = ProbeReading::Verdict::Answered;
    answer.state = device->state;
    return answer;
}

std::optional<std::string> StatusProbe::EndedJob(std::string_view name) const {
    const auto ended = endedJobs_.find(name);
    if (ended == endedJobs_.end()) {
        return std::nullopt;
    }
    return ended->second;
}

std::string StatusProbe::Unanswered(const ProbeReading& reading,
                                    std::chrono::milliseconds wait) const {
    const std::string query(QueryName(language_));
    if (reading.verdict == ProbeReading::Verdict::Garbled) {
        return "the printer answered " + query + " with bytes that are no such reply: \"" +
               SafeText(reading.heard, WholeText) + "\"";
    }
    return "the printer did not answer " + query + " within " + SecondsText(wait);
}
