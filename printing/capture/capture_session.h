#pragma once

#include "printing/capture/capture_options.h"
#include "printing/capture/job_file.h"
#include "printing/capture/lpd_conversation.h"

#include <array>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CaptureReport;
class JobFolder;

// One sender's connection to tolvenmark-cli capture. A socket connection is one job: its
// bytes until the sender closes. An LPD connection is one conversation, and a receive-job
// one job. The job's file is made with the first byte, so a connection that sends nothing
// makes no job; it is kept whole only when the sender finished properly, else as .partial.
// Every read waits at most the stall time-out.
class CaptureSession : public std::enable_shared_from_this<CaptureSession> {
public:
    CaptureSession(asio::ip::tcp::socket socket, CaptureOptions::Protocol protocol,
                   JobFolder& folder, const CaptureOptions& options, CaptureReport& report,
                   std::function<void(CaptureSession*)> ended);

    void Start();
    // Ends the connection now; the job so far is kept as .partial, cut off for `why`.
    void CutOff(const std::string& why);

private:
    void ReadNext();
    bool StallTimeIsUp() const;
    void OnRead(const std::error_code& error, std::size_t count);
    void OnSenderGone(const std::error_code& error);
    void TakeLpdBytes(std::string_view bytes);
    void Store(std::string_view bytes);
    void End(std::string cutOff);
    void KeepJob(const std::string& cutOff);
    void CloseSocket(bool reset);

    asio::ip::tcp::socket socket_;
    asio::steady_timer stallTimer_;
    CaptureOptions::Protocol protocol_;
    JobFolder& folder_;
    const CaptureOptions& options_;
    CaptureReport& report_;
    std::function<void(CaptureSession*)> ended_;
    std::string peer_;
    LpdConversation conversation_;
    std::unique_ptr<JobFile> file_;
    // Why the job has to stop at once: too large, or its file failed.
    std::string stopReason_;
    std::string replies_;
    bool over_ = false;
    bool refused_ = false;
    std::array<char, 64 * 1024> buffer_{};
};

// "127.0.0.1:9100" and "[::1]:9100".
std::string EndpointText(const asio::ip::tcp::endpoint& endpoint);
