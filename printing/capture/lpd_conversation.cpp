#include "printing/capture/lpd_conversation.h"

#include "printing/backends/lpd/lpd_protocol.h"

#include <algorithm>

namespace {

// The answer to a queue-state question: captured jobs are files, not a queue.
constexpr std::string_view QueueState = "no entries\n";

bool Is(unsigned char code, lpd::Command command) {
    return code == static_cast<unsigned char>(command);
}

bool Is(unsigned char code, lpd::Subcommand subcommand) {
    return code == static_cast<unsigned char>(subcommand);
}

} // namespace

LpdConversation::LpdConversation(std::function<void(std::string_view)> data,
                                 std::function<void()> jobEnded)
    : data_(std::move(data)), jobEnded_(std::move(jobEnded)) {}

LpdConversation::State LpdConversation::Take(std::string_view bytes) {
    while (!bytes.empty() && state_ == State::Going) {
        std::size_t used = 0;
        switch (stage_) {
        case Stage::Command:
        case Stage::Subcommand:
            used = TakeLine(bytes);
            break;
        case Stage::ControlFile:
        case Stage::DataFile:
            used = TakeFileBytes(bytes);
            break;
        case Stage::FileEnd:
            used = TakeFileEnd(bytes);
            break;
        case Stage::Done:
            Refuse("bytes after the conversation ended");
            break;
        }
        bytes.remove_prefix(used);
    }
    return state_;
}

bool LpdConversation::CompleteAtClose() const {
    return state_ == State::Going && stage_ == Stage::Subcommand && haveControlFile_ &&
           haveDataFile_ && !aborted_ && line_.empty();
}

std::string LpdConversation::TakeReplies() {
    std::string replies;
    replies.swap(replies_);
    return replies;
}

std::size_t LpdConversation::TakeLine(std::string_view bytes) {
    const std::size_t end = bytes.find('\n');
    const std::size_t used = end == std::string_view::npos ? bytes.size() : end + 1;
    line_.append(bytes.substr(0, std::min(used, end)));
    if (line_.size() > MaxLineLength) {
        Refuse("a command line longer than " + std::to_string(MaxLineLength) + " bytes");
        return used;
    }
    if (end == std::string_view::npos) {
        return used;
    }
    const std::optional<lpd::CommandLine> command = lpd::ParseCommandLine(line_);
    line_.clear();
    if (!command) {
        Refuse("an empty command line");
    } else if (stage_ == Stage::Command) {
        OnCommand(command->code, command->operand);
    } else {
        OnSubcommand(command->code, command->operand);
    }
    return used;
}

void LpdConversation::OnCommand(unsigned char code, const std::string& operand) {
    queue_ = operand.substr(0, operand.find(' '));
    if (Is(code, lpd::Command::ReceiveJob)) {
        receivesJob_ = true;
        stage_ = Stage::Subcommand;
        Accept();
    } else if (Is(code, lpd::Command::PrintWaitingJobs)) {
        Finish(std::string(1, static_cast<char>(lpd::kAccepted)));
    } else if (Is(code, lpd::Command::ShortQueueState) || Is(code, lpd::Command::LongQueueState)) {
        Finish(QueueState);
    } else if (Is(code, lpd::Command::RemoveJobs)) {
        // Nothing is queued here, so nothing is removed, and the protocol wants no answer.
        Finish({});
    } else {
        Refuse("unknown command " + std::to_string(code));
    }
}

void LpdConversation::OnSubcommand(unsigned char code, const std::string& operand) {
    if (Is(code, lpd::Subcommand::AbortJob)) {
        // What arrived so far is no job any more.
        aborted_ = true;
        Accept();
        return;
    }
    const bool control = Is(code, lpd::Subcommand::ReceiveControlFile);
    if (!control && !Is(code, lpd::Subcommand::ReceiveDataFile)) {
        Refuse("unknown subcommand " + std::to_string(code));
        return;
    }
    const std::optional<lpd::FileAnnouncement> file = lpd::ParseFileAnnouncement(operand);
    if (!file) {
        Refuse("a malformed file announcement");
        return;
    }
    if (control && file->byteCount > MaxControlFileSize) {
        Refuse("a control file of " + std::to_string(file->byteCount) + " bytes");
        return;
    }
    BeginFile(control, file->fileName);
    fileIsData_ = !control;
    fileRemaining_ = file->byteCount;
    controlFile_.clear();
    stage_ = fileRemaining_ == 0 ? Stage::FileEnd : control ? Stage::ControlFile : Stage::DataFile;
    Accept();
}

void LpdConversation::BeginFile(bool control, const std::string& fileName) {
    // "cfA001host", "dfA001host", "dfB001host": the job number and host follow three letters.
    std::string id = fileName.size() > 3 ? fileName.substr(3) : std::string();
    const bool startsAnother = id != jobId_ || (control && haveControlFile_);
    if (haveControlFile_ && haveDataFile_ && !aborted_ && startsAnother) {
        if (jobEnded_) {
            jobEnded_();
        }
        haveControlFile_ = false;
        haveDataFile_ = false;
        jobName_.clear();
        user_.clear();
        host_.clear();
    }
    if (!haveControlFile_ && !haveDataFile_) {
        jobId_ = std::move(id);
    }
}

std::size_t LpdConversation::TakeFileBytes(std::string_view bytes) {
    const std::size_t used =
        static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), fileRemaining_));
    const std::string_view piece = bytes.substr(0, used);
    if (fileIsData_) {
        data_(piece);
    } else {
        controlFile_.append(piece);
    }
    fileRemaining_ -= used;
    if (fileRemaining_ == 0) {
        stage_ = Stage::FileEnd;
    }
    return used;
}

std::size_t LpdConversation::TakeFileEnd(std::string_view bytes) {
    if (bytes.front() != '\0') {
        Refuse("a file longer than it was announced, or not ended by a 0 byte");
        return 1;
    }
    if (fileIsData_) {
        haveDataFile_ = true;
    } else {
        OnControlFile();
        if (state_ != State::Going) {
            return 1;
        }
    }
    stage_ = Stage::Subcommand;
    Accept();
    return 1;
}

void LpdConversation::OnControlFile() {
    const auto lines = lpd::ParseControlFile(controlFile_);
    if (!lines) {
        Refuse("a malformed control file");
        return;
    }
    haveControlFile_ = true;
    for (const lpd::ControlLine& line : *lines) {
        switch (line.code) {
        case 'J':
            jobName_ = line.value;
            break;
        case 'P':
            user_ = line.value;
            break;
        case 'H':
            host_ = line.value;
            break;
        default:
            break;
        }
    }
}

void LpdConversation::Accept() {
    replies_ += static_cast<char>(lpd::kAccepted);
}

void LpdConversation::Finish(std::string_view reply) {
    replies_ += reply;
    stage_ = Stage::Done;
    state_ = State::Finished;
}

void LpdConversation::Refuse(std::string fault) {
    replies_ += static_cast<char>(lpd::kRefused);
    fault_ = std::move(fault);
    stage_ = Stage::Done;
    state_ = State::Refused;
}
