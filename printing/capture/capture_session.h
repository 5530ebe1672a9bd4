#pragma once

#include "printing/capture/capture_options.h"
#include "printing/capture/give_way.h"
#include "printing/capture/job_file.h"
#include "printing/capture/lpd_conversation.h"
#include "printing/capture/printer_emulator.h"

#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class CaptureReport;
class JobFolder;

// One sender's connection to tolvenmark-cli capture. A socket connection is one job: its
// bytes until the sender closes. An LPD connection is one conversation, and each job of a
// receive-job one job. The job's file is made with the first byte, so a connection that
// sends nothing makes no job; it is kept whole only when the sender finished properly,
// else as .partial. Every read waits at most the stall time-out.
//
// A session only waits until its socket is readable and then reads into the listener's
// one buffer, so a connection that sends nothing costs no buffer of its own.
//
// With an emulated printer (socket connections under --emulate), what the sender sends is
// still kept byte for byte, and the printer's replies go back on the same connection as
// soon as they are due, its timed ones too, without the reads ever waiting on a write.
class CaptureSession : public std::enable_shared_from_this<CaptureSession> {
public:
    // `buffer` is shared by every session of the listener's thread: bytes read into it are
    // dealt with before the next read. `emulator` answers the sender; none for silence.
    CaptureSession(asio::ip::tcp::socket socket, CaptureOptions::Protocol protocol,
                   JobFolder& folder, const CaptureOptions& options, CaptureReport& report,
                   std::span<char> buffer, std::unique_ptr<PrinterEmulator> emulator,
                   std::function<void(CaptureSession*)> ended);

    // Replies waiting for a sender that does not read; more are dropped, not kept.
    static constexpr std::size_t kPendingReplyLimit = 16 * 1024;

    void Start();
    // Ends the connection now; the job so far is kept as .partial, cut off for `why`.
    void CutOff(const std::string& why);

    // What the sender has brought so far, to choose who gives way.
    const GiveWay::Progress& Progress() const { return progress_; }

private:
    void ReadNext();
    void AwaitReadable();
    bool StallTimeIsUp() const;
    void OnReadable(std::error_code error);
    void OnRead(std::string_view bytes);
    void OnJobEnded();
    void OnSenderGone(const std::error_code& error);
    void TakeLpdBytes(std::string_view bytes);
    void Store(std::string_view bytes);
    void End(std::string cutOff);
    void KeepJob(const std::string& cutOff);
    void CloseSocket(bool reset);
    void Answer(const std::string& replies);
    void SendReplies();
    void AwaitReplyTime();

    asio::ip::tcp::socket socket_;
    asio::steady_timer stallTimer_;
    CaptureOptions::Protocol protocol_;
    JobFolder& folder_;
    const CaptureOptions& options_;
    CaptureReport& report_;
    std::function<void(CaptureSession*)> ended_;
    std::string peer_;
    std::span<char> buffer_;
    GiveWay::Progress progress_;
    LpdConversation conversation_;
    std::unique_ptr<JobFile> file_;
    // Why the job has to stop at once: too large, or its file failed.
    std::string stopReason_;
    std::string replies_;
    std::unique_ptr<PrinterEmulator> emulator_;
    asio::steady_timer replyTimer_;
    // The emulated printer's replies the socket has not taken yet.
    std::string pendingReplies_;
    bool awaitingWritable_ = false;
    bool over_ = false;
    bool refused_ = false;
};

// "127.0.0.1:9100" and "[::1]:9100".
std::string EndpointText(const asio::ip::tcp::endpoint& endpoint);
