#pragma once

#include "core/inspect/command_language.h"
#include "core/inspect/document_counts.h"

#include <cstdint>
#include <memory>
#include <string_view>

class CommandSink;

// Decodes one printer language from its bytes, fed in pieces of any size (a command may
// be split anywhere between two pieces). Memory stays bounded whatever the input: a
// parameter or a pending command keeps only its first bytes and counts the rest.
class CommandDecoder {
public:
    virtual ~CommandDecoder() = default;

    // The first byte fed sits at `offset` in the file; later pieces follow on.
    virtual void Begin(std::uint64_t offset) = 0;
    // Hands every command that becomes whole to the sink.
    virtual void Feed(std::string_view bytes, CommandSink& sink) = 0;
    // No more bytes: a command still pending is handed on marked truncated, and what the
    // language leaves open (a label begun and never ended) is marked.
    virtual void End(CommandSink& sink) = 0;

    virtual const DocumentCounts& Counts() const = 0;

    // False when nobody reads the meanings of commands without a problem (a summary):
    // their meanings, and where the decoder knows them without looking, their names, are
    // then left empty, which spares the time of writing them. Counts and problems (with
    // their meanings) are the same either way.
    virtual void SetMeanings(bool wanted) = 0;

    // A decoder in the same state, that goes on from where this one is: a viewer keeps
    // one now and then, to decode again from there instead of from the file's start.
    virtual std::unique_ptr<CommandDecoder> Clone() const = 0;

    // The decoder of a language, or null where the inspection decodes none yet.
    static std::unique_ptr<CommandDecoder> For(CommandLanguage language);
};
