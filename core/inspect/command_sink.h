#pragma once

struct DecodedCommand;

// Where a decoder hands each command as soon as it is whole. The command is only valid
// during the call: a sink that keeps it copies it.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void Command(const DecodedCommand& command) = 0;
};
