#include "printing/capture/capture_session.h"

#include "core/file_error.h"
#include "core/safe_text.h"
#include "core/seconds_text.h"
#include "printing/capture/capture_report.h"
#include "printing/capture/captured_job.h"
#include "printing/capture/job_folder.h"
#include "printing/net/tcp_connection.h"

#include <asio/error.hpp>
#include <asio/write.hpp>

std::string EndpointText(const asio::ip::tcp::endpoint& endpoint) {
    const std::string address = endpoint.address().to_string();
    const std::string port = std::to_string(endpoint.port());
    return endpoint.address().is_v6() ? "[" + address + "]:" + port : address + ":" + port;
}

CaptureSession::CaptureSession(asio::ip::tcp::socket socket, CaptureOptions::Protocol protocol,
                               JobFolder& folder, const CaptureOptions& options,
                               CaptureReport& report, std::span<char> buffer,
                               std::unique_ptr<PrinterEmulator> emulator,
                               std::function<void(CaptureSession*)> ended)
    : socket_(std::move(socket)), stallTimer_(socket_.get_executor()), protocol_(protocol),
      folder_(folder), options_(options), report_(report), ended_(std::move(ended)),
      buffer_(buffer),
      conversation_([this](std::string_view bytes) { Store(bytes); }, [this] { OnJobEnded(); }),
      emulator_(std::move(emulator)), replyTimer_(socket_.get_executor()) {
    std::error_code error;
    const asio::ip::tcp::endpoint remote = socket_.remote_endpoint(error);
    peer_ = error ? std::string("an unknown sender") : EndpointText(remote);
    progress_.connected = GiveWay::Clock::now();
    progress_.lastByte = progress_.connected;
}

void CaptureSession::Start() {
    // A read after the socket turned readable must never wait: it takes what is there.
    std::error_code error;
    socket_.non_blocking(true, error);
    if (error) {
        End("the connection failed: " + error.message());
        return;
    }
    ReadNext();
}

void CaptureSession::ReadNext() {
    auto self = shared_from_this();
    stallTimer_.expires_after(options_.stallTimeout);
    stallTimer_.async_wait([this, self](const std::error_code& error) {
        if (!error && StallTimeIsUp()) {
            End("no byte for " + SecondsText(options_.stallTimeout));
        }
    });
    AwaitReadable();
}

void CaptureSession::AwaitReadable() {
    auto self = shared_from_this();
    socket_.async_wait(asio::socket_base::wait_read,
                       [this, self](const std::error_code& error) { OnReadable(error); });
}

// A time-out that fired just as its read completed finds the timer set again.
bool CaptureSession::StallTimeIsUp() const {
    return !over_ && stallTimer_.expiry() <= asio::steady_timer::clock_type::now();
}

void CaptureSession::OnReadable(std::error_code error) {
    if (over_) {
        return;
    }
    std::size_t count = 0;
    if (!error) {
        count = socket_.read_some(asio::buffer(buffer_.data(), buffer_.size()), error);
    }
    if (error == asio::error::would_block || error == asio::error::try_again) {
        // Readable without a byte after all: wait again, with the stall time-out running on.
        AwaitReadable();
        return;
    }
    stallTimer_.cancel();
    if (error) {
        OnSenderGone(error);
        return;
    }
    progress_.bytes += count;
    progress_.lastByte = GiveWay::Clock::now();
    OnRead(std::string_view(buffer_.data(), count));
}

void CaptureSession::OnRead(std::string_view bytes) {
    if (protocol_ == CaptureOptions::Protocol::Lpd) {
        TakeLpdBytes(bytes);
        return;
    }
    Store(bytes);
    if (!stopReason_.empty()) {
        End(stopReason_);
        return;
    }
    if (emulator_) {
        Answer(emulator_->Take(bytes, PrinterEmulator::Clock::now()));
        AwaitReplyTime();
    }
    ReadNext();
}

// The replies go out at once as far as the socket takes them; the rest waits until it is
// writable. A sender that does not read is kept no more than kPendingReplyLimit bytes:
// replies beyond that are dropped whole, so the ones it gets stay whole.
void CaptureSession::Answer(const std::string& replies) {
    if (over_ || replies.empty() || pendingReplies_.size() + replies.size() > kPendingReplyLimit) {
        return;
    }
    pendingReplies_ += replies;
    SendReplies();
}

void CaptureSession::SendReplies() {
    if (awaitingWritable_ || pendingReplies_.empty()) {
        return;
    }
    std::error_code error;
    const std::size_t sent = socket_.write_some(asio::buffer(pendingReplies_), error);
    pendingReplies_.erase(0, sent);
    if (error && error != asio::error::would_block && error != asio::error::try_again) {
        // The sender is gone or takes nothing more; the reads tell how the job ends.
        pendingReplies_.clear();
        return;
    }
    if (pendingReplies_.empty()) {
        return;
    }
    awaitingWritable_ = true;
    auto self = shared_from_this();
    socket_.async_wait(asio::socket_base::wait_write, [this, self](const std::error_code& failed) {
        awaitingWritable_ = false;
        if (!failed && !over_) {
            SendReplies();
        }
    });
}

// Wakes when the emulated printer has something to say by time alone: a job printed after
// the hold, or a change of state it reports unasked.
void CaptureSession::AwaitReplyTime() {
    const PrinterEmulator::Clock::time_point next = emulator_->NextDue();
    if (next == PrinterEmulator::Clock::time_point::max()) {
        replyTimer_.cancel();
        return;
    }
    auto self = shared_from_this();
    replyTimer_.expires_at(next);
    replyTimer_.async_wait([this, self](const std::error_code& cancelled) {
        if (cancelled || over_) {
            return;
        }
        Answer(emulator_->Due(PrinterEmulator::Clock::now()).replies);
        AwaitReplyTime();
    });
}

void CaptureSession::OnSenderGone(const std::error_code& error) {
    if (error != asio::error::eof) {
        End("the sender " + std::string(error == asio::error::connection_reset
                                            ? "reset the connection"
                                            : "failed: " + error.message()));
        return;
    }
    if (protocol_ == CaptureOptions::Protocol::Socket || conversation_.CompleteAtClose()) {
        End({});
        return;
    }
    End(conversation_.ReceivesJob() ? "the sender closed the connection before the job was whole"
                                    : std::string());
}

void CaptureSession::TakeLpdBytes(std::string_view bytes) {
    const LpdConversation::State state = conversation_.Take(bytes);
    if (!stopReason_.empty()) {
        End(stopReason_);
        return;
    }
    replies_ = conversation_.TakeReplies();
    auto self = shared_from_this();
    const auto next = [this, self, state](const std::error_code& error, std::size_t) {
        if (over_) {
            return;
        }
        stallTimer_.cancel();
        if (error) {
            OnSenderGone(error);
        } else if (state == LpdConversation::State::Going) {
            ReadNext();
        } else if (state == LpdConversation::State::Refused) {
            // The refusal must reach the sender: an ordinary close, not a reset.
            refused_ = true;
            End("the LPD conversation was refused: " + conversation_.Fault());
        } else {
            End({});
        }
    };
    if (replies_.empty()) {
        next({}, 0);
        return;
    }
    // The answer is a byte or a line; a sender that does not take it is stalled too.
    stallTimer_.expires_after(options_.stallTimeout);
    stallTimer_.async_wait([this, self](const std::error_code& error) {
        if (!error && StallTimeIsUp()) {
            End("no byte taken for " + SecondsText(options_.stallTimeout));
        }
    });
    asio::async_write(socket_, asio::buffer(replies_), next);
}

// Another job follows in the same LPD conversation: this one is whole, unless it already
// had to stop (then the session ends with it, and it is kept as .partial).
void CaptureSession::OnJobEnded() {
    if (file_ && stopReason_.empty()) {
        KeepJob({});
    }
}

void CaptureSession::Store(std::string_view bytes) {
    if (!stopReason_.empty() || bytes.empty()) {
        return;
    }
    const std::uint64_t room = options_.maxSize - (file_ ? file_->Size() : 0);
    const bool tooLarge = bytes.size() > room;
    try {
        if (!file_) {
            file_ = folder_.Begin();
        }
        file_->Write(
            bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), room))));
    } catch (const FileError& error) {
        stopReason_ = error.what();
        return;
    }
    if (tooLarge) {
        stopReason_ = "larger than the most a job may be (--max-size " +
                      std::to_string(options_.maxSize) + " bytes)";
    }
}

void CaptureSession::CutOff(const std::string& why) {
    End(why);
}

void CaptureSession::End(std::string cutOff) {
    if (over_) {
        return;
    }
    // The listener lets go of the session below; it must last until this call returns.
    const auto self = shared_from_this();
    over_ = true;
    stallTimer_.cancel();
    replyTimer_.cancel();
    if (file_) {
        KeepJob(cutOff);
    } else if (!cutOff.empty()) {
        report_.Problem(peer_, cutOff);
    }
    // A job that did not end well ends with a reset, so the sender can tell.
    CloseSocket(!cutOff.empty() && !refused_);
    ended_(this);
}

void CaptureSession::KeepJob(const std::string& cutOff) {
    CapturedJob job;
    job.protocol = protocol_;
    job.number = file_->Number();
    job.peer = peer_;
    job.size = file_->Size();
    job.cutOff = cutOff;
    if (protocol_ == CaptureOptions::Protocol::Lpd) {
        job.queue = SafeText(conversation_.Queue());
        job.jobName = SafeText(conversation_.JobName());
        job.user = SafeText(conversation_.User());
        job.host = SafeText(conversation_.Host());
    }
    try {
        job.path = cutOff.empty() ? file_->Keep() : file_->KeepPartial();
    } catch (const FileError& error) {
        report_.Problem(peer_, std::string("job ") + std::to_string(job.number) +
                                   " not kept: " + error.what());
        file_.reset();
        return;
    }
    file_.reset();
    report_.Job(job);
}

void CaptureSession::CloseSocket(bool reset) {
    std::error_code ignored;
    socket_.cancel(ignored);
    if (reset) {
        socket_.set_option(asio::socket_base::linger(true, 0), ignored);
    } else {
        socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    }
    socket_.close(ignored);
}
