#include "core/inspect/inspection.h"

Inspection::Inspection(CommandSink* commands) : commands_(commands) {}

Inspection::~Inspection() = default;

void Inspection::Feed(std::string_view bytes) {
    detector_.Feed(bytes);
    total_ += bytes.size();
    pending_.append(bytes);
    for (const LanguageDetector::Start& start : detector_.TakeStarts()) {
        Route(start.offset);
        OpenPart(start);
    }
    Route(detector_.Settled());
}

void Inspection::End() {
    detector_.End();
    for (const LanguageDetector::Start& start : detector_.TakeStarts()) {
        Route(start.offset);
        OpenPart(start);
    }
    Route(total_);
    ClosePart(total_);
    counts_.pages += detector_.PostScriptPages();
}

void Inspection::Route(std::uint64_t upTo) {
    if (upTo <= routed_) {
        return;
    }
    const auto count = static_cast<std::size_t>(upTo - routed_);
    if (decoder_ != nullptr) {
        decoder_->Feed(std::string_view(pending_).substr(0, count), *this);
    }
    pending_.erase(0, count);
    routed_ = upTo;
}

void Inspection::OpenPart(const LanguageDetector::Start& start) {
    if (partOpen_ && part_.language == start.language) {
        return;
    }
    ClosePart(start.offset);
    part_ = {start.offset, 0, start.language};
    partOpen_ = true;
    decoder_ = CommandDecoder::For(start.language);
    if (decoder_ != nullptr) {
        decoder_->SetMeanings(commands_ != nullptr);
        decoder_->Begin(start.offset);
    }
}

void Inspection::ClosePart(std::uint64_t end) {
    if (!partOpen_) {
        return;
    }
    partOpen_ = false;
    if (decoder_ != nullptr) {
        decoder_->End(*this);
        counts_ += decoder_->Counts();
        decoder_.reset();
    }
    part_.length = end - part_.offset;
    ++partCount_;
    if (parts_.size() < PartLimit) {
        parts_.push_back(part_);
    }
}

void Inspection::Command(const DecodedCommand& command) {
    if (!command.problem.empty() && problems_.size() < ProblemLimit) {
        problems_.push_back(command);
    }
    if (commands_ != nullptr) {
        commands_->Command(command);
    }
}
