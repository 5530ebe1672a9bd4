// Any bytes a sender may send to capture's LPD port: the server's parsers and its
// conversation never fail other than by refusing, and keep to the bytes they were given.
// The client's lines, built from any names, read back on the server's side.
#include "printing/backends/lpd/lpd_protocol.h"
#include "printing/capture/lpd_conversation.h"
#include "tests/fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// The conversation fed the bytes in pieces of the given size, as a socket may hand them on.
void Converse(std::string_view bytes, std::size_t piece) {
    std::size_t handedOn = 0;
    std::size_t replies = 0;
    std::size_t jobsEnded = 0;
    LpdConversation conversation([&](std::string_view data) { handedOn += data.size(); },
                                 [&] { ++jobsEnded; });
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        conversation.Take(bytes.substr(at, piece));
        replies += conversation.TakeReplies().size();
    }
    conversation.CompleteAtClose();
    Require(handedOn <= bytes.size(), "no more data is handed on than arrived", bytes);
    // One answer byte for each line and file at most, and one queue state.
    Require(replies <= bytes.size() + 16, "the answers are bounded by what arrived", bytes);
    // A job ended is at least a control file's and a data file's announcements, answered.
    Require(jobsEnded * 2 <= replies, "no job ends that was not sent", bytes);
    Require((conversation.CurrentState() == LpdConversation::State::Refused) ==
                !conversation.Fault().empty(),
            "a refusal, and only a refusal, says why", bytes);
}

void ParseAsServer(std::string_view bytes) {
    lpd::ParseCommandLine(bytes);
    lpd::ParseFileAnnouncement(bytes);
    lpd::ParseControlFile(bytes);
}

// What the client writes from names the user chose reads back on the server's side.
void BuildAsClient(FuzzedDataProvider& provider, std::string_view bytes) {
    const int jobNumber = provider.ConsumeIntegral<int>();
    const std::uint64_t count = provider.ConsumeIntegral<std::uint64_t>();
    lpd::ControlFile job;
    job.host = provider.ConsumeRandomLengthString(64);
    job.user = provider.ConsumeRandomLengthString(64);
    job.jobName = provider.ConsumeRandomLengthString(128);
    job.sourceName = provider.ConsumeRandomLengthString(128);
    job.dataFileName = lpd::DataFileName(jobNumber, job.host);

    const std::string queue = provider.ConsumeRandomLengthString(64);

    const std::string command = lpd::ReceiveJobCommand(queue);
    const auto line =
        lpd::ParseCommandLine(std::string_view(command).substr(0, command.size() - 1));
    Require(line && line->code == static_cast<unsigned char>(lpd::Command::ReceiveJob),
            "the receive-job command reads back", bytes);

    const std::string subcommand = lpd::ReceiveDataFileSubcommand(count, job.dataFileName);
    const auto file =
        lpd::ParseFileAnnouncement(std::string_view(subcommand).substr(1, subcommand.size() - 2));
    Require(file && file->byteCount == count && file->fileName == job.dataFileName,
            "the data file's announcement reads back", bytes);

    const auto lines = lpd::ParseControlFile(lpd::BuildControlFile(job));
    Require(lines && lines->size() == 6, "the control file reads back line by line", bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::size_t piece = 1 + provider.ConsumeIntegral<std::uint8_t>();
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    ParseAsServer(bytes);
    Converse(bytes, piece);
    FuzzedDataProvider names(data, size);
    BuildAsClient(names, bytes);
    return 0;
}
