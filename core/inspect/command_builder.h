#pragma once

#include "core/inspect/decoded_command.h"
#include "core/inspect/document_counts.h"

#include <cstdint>

class CommandSink;

// The command a decoder is reading: where it began, how long it is so far, and its first
// bytes. Bounded whatever the command's length.
class CommandBuilder {
public:
    explicit CommandBuilder(CommandLanguage language);

    bool Open() const { return open_; }
    // Whether the caller reads meanings: when only counts and problems are wanted, a
    // decoder skips the words of commands that have no problem.
    void SetMeanings(bool wanted) { meanings_ = wanted; }
    bool WantsMeaning() const { return meanings_; }
    std::uint64_t Length() const { return command_.length; }
    // Starts a command at `offset` (the previous one must have been handed on).
    void Start(std::uint64_t offset);
    void Add(char byte);
    // Counts `count` bytes that are only skipped over (a raster image's data).
    void Skip(std::uint64_t count);
    // Hands the command on with its meaning and problem, counting both, and closes it.
    void Finish(CommandSink& sink, DocumentCounts& counts, std::string meaning,
                std::string problem = {}, std::string name = {});

private:
    DecodedCommand command_;
    bool open_ = false;
    bool meanings_ = true;
};
