#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line printer daemon protocol as bytes, for both ends of a connection: what a client
// sends to hand a job to a queue, and how a receiving server takes those lines apart.
// Nothing here touches a socket; the caller moves the bytes.
//
// A client sends the receive-job command, then for each file a subcommand that announces
// its size and name, the file's bytes and a 0 byte; the server answers each command,
// each announcement and each file with one byte, 0 for yes.
namespace lpd {

// The command codes that open a connection, and the subcommands of receive-job.
enum class Command : unsigned char {
    PrintWaitingJobs = 1,
    ReceiveJob = 2,
    ShortQueueState = 3,
    LongQueueState = 4,
    RemoveJobs = 5,
};
enum class Subcommand : unsigned char {
    AbortJob = 1,
    ReceiveControlFile = 2,
    ReceiveDataFile = 3,
};

inline constexpr unsigned char kAccepted = 0;
// Any other answer refuses; a receiving server sends this one.
inline constexpr unsigned char kRefused = 1;
// The longest host name a control file's H line may hold, and the bound kept for the
// user (P) and the job and source names (J, N).
inline constexpr std::size_t kMaxHostLength = 31;
inline constexpr std::size_t kMaxUserLength = 31;
inline constexpr std::size_t kMaxNameLength = 99;

// The job's number, 0 to 999, as the three digits of its file names.
std::string JobNumberText(int jobNumber);

// "dfA<nnn><host>" and "cfA<nnn><host>"; the host is cut to what a file name may hold.
std::string DataFileName(int jobNumber, std::string_view host);
std::string ControlFileName(int jobNumber, std::string_view host);

// "\x02QUEUE\n".
std::string ReceiveJobCommand(std::string_view queue);
// "\x03COUNT NAME\n" and "\x02COUNT NAME\n".
std::string ReceiveDataFileSubcommand(std::uint64_t byteCount, std::string_view dataFileName);
std::string ReceiveControlFileSubcommand(std::uint64_t byteCount, std::string_view controlFileName);

// What a control file says about one job of one data file, printed without any filter.
struct ControlFile {
    std::string host;
    std::string user;
    std::string jobName;
    std::string sourceName;
    std::string dataFileName;
};

// The control file's lines H, P, J, l, U, N. Each value is made safe for its line first:
// no control characters and no longer than the protocol allows.
std::string BuildControlFile(const ControlFile& job);

// Text made fit for one control-file line: control characters dropped, cut to at most
// maxLength bytes without splitting a UTF-8 sequence.
std::string SanitiseLineValue(std::string_view text, std::size_t maxLength);

// --- the receiving side -------------------------------------------------------------

// A command or subcommand line without its '\n': the code byte and the rest.
struct CommandLine {
    unsigned char code = 0;
    std::string operand;
};
std::optional<CommandLine> ParseCommandLine(std::string_view line);

// The operand of a receive-file subcommand: "COUNT NAME".
struct FileAnnouncement {
    std::uint64_t byteCount = 0;
    std::string fileName;
};
std::optional<FileAnnouncement> ParseFileAnnouncement(std::string_view operand);

// A control file's lines as code and value, in order; a line without a code is an error.
struct ControlLine {
    char code = 0;
    std::string value;
};
std::optional<std::vector<ControlLine>> ParseControlFile(std::string_view contents);

} // namespace lpd
