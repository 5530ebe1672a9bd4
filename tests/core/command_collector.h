#pragma once

#include "core/inspect/command_sink.h"
#include "core/inspect/decoded_command.h"

#include <vector>

// Keeps every command a decoder hands on.
class CommandCollector final : public CommandSink {
public:
    void Command(const DecodedCommand& command) override { commands.push_back(command); }
    std::vector<DecodedCommand> commands;
};
