#include "app/cli/descriptor_input.h"

#include "app/cli/interrupt_flag.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::size_t BufferSize = std::size_t{64} << 10;

} // namespace

DescriptorInput::DescriptorInput(int descriptor, const InterruptFlag& interrupt)
    : descriptor_(descriptor), interrupt_(interrupt), buffer_(BufferSize) {}

// A failure is thrown: the istream that called turns it into badbit, which its reader
// reports as a failed read.
DescriptorInput::int_type DescriptorInput::underflow() {
    for (;;) {
        // A signal that came while the last piece was being sent finds no read to break.
        if (interrupt_.Raised()) {
            throw std::system_error(EINTR, std::generic_category(), "read");
        }
        const ssize_t read = ::read(descriptor_, buffer_.data(), buffer_.size());
        if (read > 0) {
            setg(buffer_.data(), buffer_.data(), buffer_.data() + read);
            return traits_type::to_int_type(buffer_.front());
        }
        if (read == 0) {
            return traits_type::eof();
        }
        if (errno != EINTR || interrupt_.Raised()) {
            throw std::system_error(errno, std::generic_category(), "read");
        }
    }
}
