#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The receiving end of one LPD connection, as a state machine over the bytes that arrive:
// it says what to answer and hands on the data files' bytes, and never touches a socket
// or a file. A job is its data files' bytes in the order they come. A receive-job may
// carry several jobs, each a control file and its data files: a file that starts another
// job (named for another job number than the job so far, or a second control file) ends a
// job that has both, and the next begins. A job lacking either takes in what follows, so
// a sender that names its files loosely still makes one job. Names the sender gives (file
// names, queue, job name, user) are kept only as text to show, never as paths.
//
// Anything the protocol does not allow (an unknown command, a malformed line, a file
// larger than it said, a missing 0 byte after a file) is answered with a negative
// acknowledgement and ends the conversation as Refused.
class LpdConversation {
public:
    enum class State {
        Going,    // more bytes are welcome
        Finished, // nothing more to read: answer what is left, then close
        Refused,  // the protocol was broken: answer what is left, then close
    };

    // The longest command line, and the largest control file, that are taken.
    static constexpr std::size_t MaxLineLength = 1024;
    static constexpr std::uint64_t MaxControlFileSize = 64 * 1024;

    // data gets each piece of a data file's bytes as it arrives; jobEnded is told when a
    // job is whole and another follows (the last one ends with the conversation). The
    // job's names below are still its own during that call.
    explicit LpdConversation(std::function<void(std::string_view)> data,
                             std::function<void()> jobEnded = {});

    // Takes the bytes that arrived, in order; what to send back collects in Replies().
    State Take(std::string_view bytes);

    // The sender closed its side. A receive-job whose last file arrived whole, with a
    // control file and a data file and no abort, is then a complete job.
    bool CompleteAtClose() const;

    // The bytes to send back since the last call; empties them.
    std::string TakeReplies();

    State CurrentState() const { return state_; }
    // Why the conversation was refused, in plain words.
    const std::string& Fault() const { return fault_; }
    // Whether this is a receive-job at all (rather than a question about the queue).
    bool ReceivesJob() const { return receivesJob_; }

    // From the receive-job command and the current job's control file, as the sender wrote
    // them.
    const std::string& Queue() const { return queue_; }
    const std::string& JobName() const { return jobName_; }
    const std::string& User() const { return user_; }
    const std::string& Host() const { return host_; }

private:
    enum class Stage { Command, Subcommand, ControlFile, DataFile, FileEnd, Done };

    std::size_t TakeLine(std::string_view bytes);
    std::size_t TakeFileBytes(std::string_view bytes);
    std::size_t TakeFileEnd(std::string_view bytes);
    void OnCommand(unsigned char code, const std::string& operand);
    void OnSubcommand(unsigned char code, const std::string& operand);
    void OnControlFile();
    void BeginFile(bool control, const std::string& fileName);
    void Accept();
    void Finish(std::string_view reply);
    void Refuse(std::string fault);

    std::function<void(std::string_view)> data_;
    std::function<void()> jobEnded_;
    State state_ = State::Going;
    Stage stage_ = Stage::Command;
    std::string line_;
    std::string controlFile_;
    std::uint64_t fileRemaining_ = 0;
    bool fileIsData_ = false;
    bool haveControlFile_ = false;
    bool haveDataFile_ = false;
    bool aborted_ = false;
    bool receivesJob_ = false;
    // The job number and host its first file's name gave ("001host" of "cfA001host").
    std::string jobId_;
    std::string replies_;
    std::string fault_;
    std::string queue_;
    std::string jobName_;
    std::string user_;
    std::string host_;
};
