#pragma once

#include <streambuf>
#include <vector>

class InterruptFlag;

// An input stream buffer over a POSIX file descriptor (standard input) whose reads an
// interrupt can end. The standard library's own buffers read again after EINTR, so a
// pipe that stays open without sending would hold a job past Ctrl+C; this one gives up
// the read once the flag is raised, and the stream reports a failure (badbit) instead of
// an end, so the job is withdrawn rather than ended short. A signal that did not raise the
// flag is read through. Not built for Windows, where reads are not interrupted.
class DescriptorInput final : public std::streambuf {
public:
    DescriptorInput(int descriptor, const InterruptFlag& interrupt);

protected:
    int_type underflow() override;

private:
    int descriptor_;
    const InterruptFlag& interrupt_;
    std::vector<char> buffer_;
};
