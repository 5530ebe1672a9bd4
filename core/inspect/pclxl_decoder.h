#pragma once

#include "core/inspect/command_builder.h"
#include "core/inspect/command_decoder.h"

#include <cstdint>
#include <memory>
#include <string>

// PCL XL, the page printers' binary language: after the stream header line
// (") HP-PCL XL;2;0;..."), values tagged with their data type, attribute ids and operator
// bytes; each operator is one command with the attributes before it ("begin page:
// orientation=portrait media size=A4"). Embedded data (after ReadImage and the like) is
// counted and skipped. The header's binding sets the byte order: ')' low byte first,
// '(' high byte first. Pages are counted by EndPage. The operators, attributes and their
// value words are rows of tables (pclxl_decoder.cpp).
class PclXlDecoder final : public CommandDecoder {
public:
    void Begin(std::uint64_t offset) override;
    void Feed(std::string_view bytes, CommandSink& sink) override;
    void End(CommandSink& sink) override;
    const DocumentCounts& Counts() const override { return counts_; }
    void SetMeanings(bool wanted) override { command_.SetMeanings(wanted); }
    std::unique_ptr<CommandDecoder> Clone() const override {
        return std::make_unique<PclXlDecoder>(*this);
    }

    // The stream header line is read up to this many bytes.
    static constexpr std::size_t HeaderLimit = 256;
    // A value keeps its first bytes up to this many; an array's rest is counted.
    static constexpr std::size_t ValueLimit = 256;
    // An operator's attributes are shown up to about this many bytes.
    static constexpr std::size_t MeaningLimit = 400;

private:
    enum class State { Header, Token, ArrayLength, Value, AttributeId, DataLength, Data, Lost };

    void Byte(unsigned char byte, CommandSink& sink);
    void HeaderByte(unsigned char byte, CommandSink& sink);
    void Token(unsigned char byte, CommandSink& sink);
    void Need(State state, std::uint64_t bytes);
    void Complete(CommandSink& sink);
    void Attribute();
    void Operator(unsigned char byte, CommandSink& sink);
    void Fail(CommandSink& sink, std::string problem);
    std::uint64_t Number(const std::string& bytes, std::size_t at, std::size_t size) const;
    std::string ValueText() const;
    void Open();

    CommandBuilder command_{CommandLanguage::PclXl};
    DocumentCounts counts_;
    std::uint64_t offset_ = 0;
    State state_ = State::Header;
    bool littleEndian_ = true;
    std::string header_;
    // The token being read: its tag, the bytes it still needs, and its first bytes.
    unsigned char tag_ = 0;
    std::uint64_t need_ = 0;
    std::string bytes_;
    std::uint64_t elements_ = 0;
    // The value read last, waiting for its attribute id.
    bool hasValue_ = false;
    unsigned char valueTag_ = 0;
    std::string value_;
    std::uint64_t valueElements_ = 0;
    // An attribute id came with no value before it.
    bool missingValue_ = false;
    std::string attributes_;
    std::string lastOperator_;
    std::uint64_t dataTotal_ = 0;
    bool inPage_ = false;
    std::uint64_t pageOffset_ = 0;
};
