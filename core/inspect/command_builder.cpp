#include "core/inspect/command_builder.h"

#include "core/inspect/command_sink.h"

#include <utility>

CommandBuilder::CommandBuilder(CommandLanguage language) {
    command_.language = language;
}

void CommandBuilder::Finish(CommandSink& sink, DocumentCounts& counts, std::string meaning,
                            std::string problem, std::string name) {
    if (!unread_.empty()) {
        const std::size_t room = DecodedCommand::HeadLimit - command_.head.size();
        command_.head.append(unread_.data(), std::min(room, unread_.size()));
        unread_ = {};
    }
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
