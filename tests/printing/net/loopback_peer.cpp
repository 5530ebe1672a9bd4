#include "tests/printing/net/loopback_peer.h"

#include "core/byte_source.h"
#include "printing/job/job_driver.h"

#include <algorithm>
#include <array>
#include <asio/connect.hpp>
#include <asio/error.hpp>
#include <asio/read.hpp>
#include <system_error>

LoopbackPeer::LoopbackPeer(const std::string& host, Part part)
    : acceptor_(io_, asio::ip::tcp::endpoint(asio::ip::make_address(host), 0)),
      released_(release_.get_future().share()) {
    port_ = acceptor_.local_endpoint().port();
    thread_ = std::thread([this, part = std::move(part)] {
        asio::ip::tcp::socket socket(io_);
        std::error_code error;
        acceptor_.accept(socket, error);
        accepted_ = true;
        try {
            if (!error) {
                part(socket, *this);
            }
        } catch (const std::system_error&) {
            // The client went away mid-part; what the part saw so far is the result.
        }
    });
}

LoopbackPeer::~LoopbackPeer() {
    release_.set_value();
    if (!accepted_) {
        // Nobody came: knock, so the waiting accept returns and the thread can end.
        asio::io_context io;
        asio::ip::tcp::socket knock(io);
        std::error_code ignored;
        knock.connect(acceptor_.local_endpoint(), ignored);
    }
    Join();
}

void LoopbackPeer::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::string ReadToEnd(asio::ip::tcp::socket& socket, std::string& into) {
    std::array<char, 65536> buffer;
    for (;;) {
        std::error_code error;
        const std::size_t count = socket.read_some(asio::buffer(buffer), error);
        into.append(buffer.data(), count);
        if (error == asio::error::eof) {
            return "eof";
        }
        if (error == asio::error::connection_reset) {
            return "reset";
        }
        if (error) {
            return error.message();
        }
    }
}

std::uint16_t ClosedPort() {
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor(io, asio::ip::tcp::endpoint(asio::ip::tcp::v4(), 0));
    return acceptor.local_endpoint().port();
}

std::string PatternBytes(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 65521) & 0xff);
    }
    return bytes;
}

namespace {

class PieceSource final : public ByteSource {
public:
    PieceSource(std::string_view bytes, const std::function<void()>& atEnd)
        : rest_(bytes), atEnd_(atEnd) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        if (rest_.empty() && atEnd_) {
            atEnd_();
        }
        const std::size_t count = std::min(capacity, rest_.size());
        rest_.copy(buffer, count);
        rest_.remove_prefix(count);
        return count;
    }

private:
    std::string_view rest_;
    const std::function<void()>& atEnd_;
};

} // namespace

JobResult SendJob(PrinterBackend& backend, std::string_view bytes, std::size_t pieceSize,
                  const std::function<void()>& atEnd) {
    PieceSource source(bytes, atEnd);
    std::string chunk(pieceSize, '\0');
    const std::size_t first = source.Read(chunk.data(), chunk.size());
    const JobControl control;
    return JobDriver(backend, control).SendSource(source, chunk, first);
}
