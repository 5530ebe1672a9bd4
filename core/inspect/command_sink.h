#pragma once

#include <cstdint>

struct DecodedCommand;

// Where a decoder hands each command as soon as it is whole. The command is only valid
// during the call: a sink that keeps it copies it.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void Command(const DecodedCommand& command) = 0;
    // In a summary (a decoder told SetMeanings(false)) commands without a problem may be
    // handed on only as their number: nobody reads their words. A sink that lists commands
    // asks for meanings and never gets this.
    virtual void Sound(std::uint64_t count) { static_cast<void>(count); }
};
