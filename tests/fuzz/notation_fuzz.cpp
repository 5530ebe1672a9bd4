// Any bytes through the code box's notation and back. Bytes that spell a token themselves
// ("<ESC>" typed as five characters) become its byte by design, so the way back is only
// checked for bytes that spell none: those NotationToBytes leaves as they are.
#include "core/notation.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

bool IsTokenByte(unsigned char byte) {
    return byte < 0x20 || byte == 0x7f || byte == 0xff;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string notation = modTools::BytesToNotation(bytes);
    Require(std::none_of(notation.begin(), notation.end(),
                         [](unsigned char c) { return IsTokenByte(c); }),
            "the notation holds no byte that has a token", bytes);
    Require(notation.size() >= bytes.size(), "the notation is at least as long", bytes);
    if (modTools::NotationToBytes(bytes) == bytes) {
        Require(modTools::NotationToBytes(notation) == bytes, "the notation reads back", bytes);
    }
    return 0;
}
