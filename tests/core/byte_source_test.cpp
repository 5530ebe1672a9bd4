#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/stream_reader.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

// Reads the source in pieces of the given size; each piece's length in order.
std::vector<std::size_t> PieceLengths(ByteSource& source, std::size_t capacity, std::string& all) {
    std::vector<std::size_t> lengths;
    std::string buffer(capacity, '\0');
    while (const std::size_t read = source.Read(buffer.data(), capacity)) {
        lengths.push_back(read);
        all.append(buffer.data(), read);
    }
    return lengths;
}

TEST(ByteSourceTest, FilesAndStreamsComeInFullPiecesThenTheRestInBinary) {
    TempDir dir;
    const std::string bytes = AllByteValues() + "\r\n\x1A" + AllByteValues();
    WriteBytes(dir.File("data"), bytes);
    FileReader file(dir.File("data"));
    std::istringstream stream(bytes);
    StreamReader standardInput(stream, "standard input");
    for (ByteSource* source : std::vector<ByteSource*>{&file, &standardInput}) {
        std::string all;
        EXPECT_EQ(PieceLengths(*source, 200, all), (std::vector<std::size_t>{200, 200, 115}));
        EXPECT_EQ(all, bytes);
        char more = 0;
        EXPECT_EQ(source->Read(&more, 1), 0u);
    }
}

TEST(ByteSourceTest, FailuresNameTheFile) {
    TempDir dir;
    try {
        FileReader missing(dir.File("missing"));
        ADD_FAILURE() << "opened a missing file";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), dir.File("missing"));
    }
    // A folder opens on Linux but can't be read.
    EXPECT_THROW(
        {
            FileReader folder(dir.Path().string());
            char byte = 0;
            folder.Read(&byte, 1);
        },
        FileError);
    std::istringstream broken("x");
    broken.setstate(std::ios::badbit);
    StreamReader source(broken, "standard input");
    char byte = 0;
    EXPECT_THROW(source.Read(&byte, 1), FileError);
}

} // namespace
