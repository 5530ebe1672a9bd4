#pragma once

#include "core/inspect/command_sink.h"
#include "core/inspect/decoded_command.h"
#include "core/inspect/document_counts.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

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
    // Where the command began, and its first bytes (at most DecodedCommand::HeadLimit).
    std::uint64_t Offset() const { return command_.offset; }
    const std::string& Head() const { return command_.head; }
    // Starts a command at `offset` (the previous one must have been handed on). Start, Add
    // and Skip are inline: a dense stream calls them for nearly every byte.
    void Start(std::uint64_t offset) {
        command_.offset = offset;
        command_.length = 0;
        command_.head.clear();
        unread_ = {};
        open_ = true;
    }
    void Add(char byte) {
        if (command_.head.size() < DecodedCommand::HeadLimit) {
            command_.head.push_back(byte);
        }
        ++command_.length;
    }
    // Adds a run of bytes at once: a dense stream's parameters and texts are scanned in
    // runs, not byte by byte.
    void Add(std::string_view bytes) {
        const std::size_t room = DecodedCommand::HeadLimit - command_.head.size();
        command_.head.append(bytes.data(), std::min(room, bytes.size()));
        command_.length += bytes.size();
    }
    // The command's last bytes, which stay in the caller's piece until it is finished: in a
    // summary they join the head only if the command has a problem (nobody else reads it).
    void AddLast(std::string_view bytes) {
        if (meanings_) {
            Add(bytes);
            return;
        }
        command_.length += bytes.size();
        unread_ = bytes;
    }
    // Counts `count` bytes that are only skipped over (a raster image's data).
    void Skip(std::uint64_t count) { command_.length += count; }
    // Data that follows the command in the piece fed, `available` bytes from here: as much of
    // the `left` still to come as is there, counted and taken off `left`. How much.
    std::size_t SkipData(std::uint64_t& left, std::size_t available) {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left, available));
        command_.length += take;
        left -= take;
        return take;
    }
    // Hands the command on with its meaning and problem, counting both, and closes it.
    void Finish(CommandSink& sink, DocumentCounts& counts, std::string meaning,
                std::string problem = {}, std::string name = {});
    // The same for a command without a problem whose name is known in advance. In a summary
    // (no meanings wanted) it is handed on only as a count (CommandSink::Sound): nobody reads
    // its words, and a dense stream hands on millions of commands.
    void FinishSound(CommandSink& sink, DocumentCounts& counts, std::string_view name) {
        ++counts.commands;
        open_ = false;
        unread_ = {};
        if (!meanings_) {
            sink.Sound(1);
            return;
        }
        command_.meaning.clear();
        command_.name.assign(name);
        command_.problem.clear();
        sink.Command(command_);
    }
    // A table's name, measured only where it is written.
    void FinishSound(CommandSink& sink, DocumentCounts& counts, const char* name) {
        FinishSound(sink, counts, meanings_ ? std::string_view(name) : std::string_view());
    }
    // A command a decoder took whole in a summary, looked at in place and found sound: only
    // counted, and handed on with the others of the piece by FlushSound at the Feed's end.
    void CountSound() { ++sound_; }
    void FlushSound(CommandSink& sink) {
        if (sound_ > 0) {
            sink.Sound(sound_);
            sound_ = 0;
        }
    }

private:
    DecodedCommand command_;
    // AddLast's bytes, not yet in the head.
    std::string_view unread_;
    bool open_ = false;
    // Commands CountSound counted during this Feed.
    std::uint64_t sound_ = 0;
    bool meanings_ = true;
};
