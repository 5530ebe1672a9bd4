#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property of the code under the fuzzer that failed: said with the input, then an
// abort, which libFuzzer keeps as a crash with the input that caused it.
inline void Require(bool holds, const char* property, std::string_view input) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "property broken: %s\ninput (%zu bytes): ", property, input.size());
    for (const char c : input) {
        std::fprintf(stderr, "\\x%02x", static_cast<unsigned char>(c));
    }
    std::fprintf(stderr, "\n");
    std::abort();
}
