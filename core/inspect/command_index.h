#pragma once

#include "core/inspect/decoded_command.h"
#include "core/inspect/inspection.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class FileReader;

// A file's commands numbered as rows, for a viewer that shows any of them without keeping
// them. Fed the file once, it keeps where the inspection stood about every Spacing bytes
// (an Inspection::Point: a few hundred bytes, so a 1 GiB file keeps about 1024 of them, well
// under 1 MiB) with the row of the next command. Any rows are then decoded again from the
// last point before them, reading at most Spacing bytes more than the rows take.
class CommandIndex {
public:
    static constexpr std::uint64_t Spacing = 1024 * 1024;

    // How a walk over the rows ended: its visitor had enough, it came to the bound, it was
    // stopped, or the file no longer holds what the pass read (shorter, or its rows no
    // longer line up with the pass's at the bound).
    enum class Outcome { Done, Ended, Stopped, Changed };

    // Each row from the first one asked for, in order; false ends the walk there.
    using Visit = std::function<bool(std::uint64_t row, const DecodedCommand& command)>;

    // What the pass saw up to a place in the file: reading to `offset` gives `rows` rows,
    // and at the file's end (`end`) the rows its last commands make.
    struct Bound {
        std::uint64_t offset = 0;
        std::uint64_t rows = 0;
        bool end = false;
    };

    // Where a walk begins and where it is checked: a copy, so that it runs without the
    // index while the pass goes on.
    struct Start {
        Inspection::Point point;
        Bound until;
    };

    // A point kept every `spacing` bytes or so (at the end of the piece that crosses it).
    explicit CommandIndex(std::uint64_t spacing = Spacing);

    void Feed(std::string_view bytes);
    void End();

    // The pass itself: the summary's parts, counts and problems.
    const Inspection& Pass() const { return pass_; }
    std::uint64_t Rows() const { return pass_.CommandsSeen(); }
    std::uint64_t Size() const { return pass_.Size(); }
    bool Ended() const { return ended_; }
    std::size_t PointCount() const { return points_.size(); }

    // The walk that reaches rows [first, first + count): from the last point before `first`
    // to the first point after them, or to where the pass has come.
    Start From(std::uint64_t first, std::uint64_t count) const;

    // Decodes the file again from the start's point, calling `visit` with every row from
    // `first` on. Reads the file from the point's offset on; stops between pieces once `stop`
    // is set. Throws FileError when the file can't be read.
    static Outcome Walk(const Start& start, std::uint64_t first, FileReader& file,
                        const Visit& visit, const std::atomic<bool>* stop = nullptr);

    // Rows [first, first + count) as far as the file still has them.
    Outcome Read(std::uint64_t first, std::uint64_t count, FileReader& file,
                 std::vector<DecodedCommand>& rows) const;

private:
    Bound Reached() const;

    const std::uint64_t spacing_;
    Inspection pass_;
    std::vector<Inspection::Point> points_;
    bool ended_ = false;
};
