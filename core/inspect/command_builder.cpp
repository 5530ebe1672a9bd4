#include "core/inspect/command_builder.h"

#include "core/inspect/command_sink.h"

#include <utility>

CommandBuilder::CommandBuilder(CommandLanguage language) {
    command_.language = language;
}

void CommandBuilder::Start(std::uint64_t offset) {
    command_.offset = offset;
    command_.length = 0;
    command_.head.clear();
    open_ = true;
}

void CommandBuilder::Add(char byte) {
    if (command_.head.size() < DecodedCommand::HeadLimit) {
        command_.head.push_back(byte);
    }
    ++command_.length;
}

void CommandBuilder::Skip(std::uint64_t count) {
    command_.length += count;
}

void CommandBuilder::Finish(CommandSink& sink, DocumentCounts& counts, std::string meaning,
                            std::string problem, std::string name) {
    command_.meaning = std::move(meaning);
    command_.problem = std::move(problem);
    command_.name = std::move(name);
    ++counts.commands;
    if (!command_.problem.empty()) {
        ++counts.problems;
    }
    open_ = false;
    sink.Command(command_);
}
