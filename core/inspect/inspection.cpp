#include "core/inspect/inspection.h"

Inspection::Inspection(CommandSink* commands) : commands_(commands) {}

Inspection::Inspection(const Point& from, CommandSink* commands)
    : commands_(commands), detector_(from.detector),
      decoder_(from.decoder != nullptr ? from.decoder->Clone() : nullptr), pending_(from.pending),
      routed_(from.routed), total_(from.total), partOpen_(from.partOpen), part_(from.part),
      commandsSeen_(from.commands) {
    if (decoder_ != nullptr) {
        decoder_->SetMeanings(commands_ != nullptr);
    }
}

Inspection::~Inspection() = default;

Inspection::Point::Point(const Point& other)
    : detector(other.detector),
      decoder(other.decoder != nullptr ? other.decoder->Clone() : nullptr), pending(other.pending),
      routed(other.routed), total(other.total), partOpen(other.partOpen), part(other.part),
      commands(other.commands) {}

Inspection::Point& Inspection::Point::operator=(const Point& other) {
    if (this != &other) {
        *this = Point(other);
    }
    return *this;
}

Inspection::Point Inspection::Checkpoint() const {
    Point point;
    point.detector = detector_;
    point.decoder = decoder_ != nullptr ? decoder_->Clone() : nullptr;
    // A copy, not the buffer itself: pending_ keeps the capacity of a whole piece.
    point.pending = std::string(pending_);
    point.routed = routed_;
    point.total = total_;
    point.partOpen = partOpen_;
    point.part = part_;
    point.commands = commandsSeen_;
    return point;
}

void Inspection::Feed(std::string_view bytes) {
    detector_.Feed(bytes);
    total_ += bytes.size();
    pending_.append(bytes);
    for (const LanguageDetector::Start& start : detector_.TakeStarts()) {
        Route(start.offset);
        OpenPart(start);
    }
    Route(detector_.Settled());
    DropRouted();
}

void Inspection::End() {
    detector_.End();
    for (const LanguageDetector::Start& start : detector_.TakeStarts()) {
        Route(start.offset);
        OpenPart(start);
    }
    Route(total_);
    ClosePart(total_);
    DropRouted();
}

void Inspection::Route(std::uint64_t upTo) {
    if (upTo <= routed_) {
        return;
    }
    const auto count = static_cast<std::size_t>(upTo - routed_);
    if (decoder_ != nullptr) {
        decoder_->Feed(std::string_view(pending_).substr(pendingRouted_, count), *this);
    }
    pendingRouted_ += count;
    routed_ = upTo;
}

void Inspection::DropRouted() {
    pending_.erase(0, pendingRouted_);
    pendingRouted_ = 0;
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
    ++commandsSeen_;
    if (!command.problem.empty() && problems_.size() < ProblemLimit) {
        problems_.push_back(command);
    }
    if (commands_ != nullptr) {
        commands_->Command(command);
    }
}
