#include "core/inspect/command_index.h"

#include "core/file_reader.h"
#include "core/inspect/command_sink.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// How much a walk reads at a time, as the pass does.
constexpr std::size_t PieceSize = 64 * 1024;

// Numbers the commands of a walk and hands those from the first asked for to the visitor,
// until it has had enough.
class RowVisitor final : public CommandSink {
public:
    RowVisitor(std::uint64_t row, std::uint64_t first, const CommandIndex::Visit& visit)
        : row_(row), first_(first), visit_(visit) {}

    void Command(const DecodedCommand& command) override {
        const std::uint64_t row = row_++;
        if (!done_ && row >= first_ && !visit_(row, command)) {
            done_ = true;
        }
    }

    bool Done() const { return done_; }

private:
    std::uint64_t row_;
    std::uint64_t first_;
    const CommandIndex::Visit& visit_;
    bool done_ = false;
};

} // namespace

CommandIndex::CommandIndex(std::uint64_t spacing) : spacing_(spacing) {
    points_.push_back(pass_.Checkpoint());
}

void CommandIndex::Feed(std::string_view bytes) {
    pass_.Feed(bytes);
    if (pass_.Size() - points_.back().total >= spacing_) {
        points_.push_back(pass_.Checkpoint());
    }
}

void CommandIndex::End() {
    if (!ended_) {
        pass_.End();
        ended_ = true;
    }
}

CommandIndex::Bound CommandIndex::Reached() const {
    return {pass_.Size(), Rows(), ended_};
}

CommandIndex::Start CommandIndex::From(std::uint64_t first, std::uint64_t count) const {
    // Several points may share a row (a stretch without commands): the last of them reads
    // the least.
    const auto after = std::upper_bound(
        points_.begin(), points_.end(), first,
        [](std::uint64_t row, const Inspection::Point& point) { return row < point.commands; });
    Start start{*std::prev(after), Reached()};
    const std::uint64_t last = count > std::numeric_limits<std::uint64_t>::max() - first
                                   ? std::numeric_limits<std::uint64_t>::max()
                                   : first + count;
    const auto until = std::lower_bound(
        after, points_.end(), last,
        [](const Inspection::Point& point, std::uint64_t row) { return point.commands < row; });
    if (until != points_.end()) {
        start.until = {until->total, until->commands, false};
    }
    return start;
}

CommandIndex::Outcome CommandIndex::Walk(const Start& start, std::uint64_t first, FileReader& file,
                                         const Visit& visit, const std::atomic<bool>* stop) {
    RowVisitor visitor(start.point.commands, first, visit);
    Inspection inspection(start.point, &visitor);
    file.Seek(start.point.total);
    std::vector<char> buffer(PieceSize);
    std::uint64_t at = start.point.total;
    while (at < start.until.offset) {
        if (visitor.Done()) {
            return Outcome::Done;
        }
        if (stop != nullptr && stop->load()) {
            return Outcome::Stopped;
        }
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(PieceSize, start.until.offset - at));
        const std::size_t got = file.Read(buffer.data(), want);
        if (got == 0) {
            // Shorter than when the pass read it.
            return Outcome::Changed;
        }
        inspection.Feed(std::string_view(buffer.data(), got));
        at += got;
    }
    if (start.until.end && !visitor.Done()) {
        inspection.End();
    }
    if (visitor.Done()) {
        return Outcome::Done;
    }
    return inspection.CommandsSeen() == start.until.rows ? Outcome::Ended : Outcome::Changed;
}

CommandIndex::Outcome CommandIndex::Read(std::uint64_t first, std::uint64_t count, FileReader& file,
                                         std::vector<DecodedCommand>& rows) const {
    rows.clear();
    if (count == 0) {
        return Outcome::Done;
    }
    return Walk(From(first, count), first, file,
                [&rows, count](std::uint64_t, const DecodedCommand& command) {
                    rows.push_back(command);
                    return rows.size() < count;
                });
}
