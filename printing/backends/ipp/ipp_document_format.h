#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The document format a raw job declares to an IPP printer. The bytes go unchanged
// whatever is declared, but a printer only takes what it lists in
// document-format-supported, so the declared type has to be one of those:
//
//   1. the format the user gave, when the printer lists it (or lists nothing);
//   2. else application/octet-stream, when the printer lists it;
//   3. else the format the data's own first bytes identify, when the printer lists it;
//   4. else none: the job is refused before anything is sent.
class IppDocumentFormat {
public:
    static constexpr const char* OctetStream = "application/octet-stream";

    // How many of the data's first bytes identify a format: the longest signature.
    static constexpr std::size_t SignatureLength = 9;

    struct Choice {
        // The MIME type to declare, spelled as the printer lists it; empty when refused.
        std::string format;
        // Why no format fits, naming the formats the printer takes.
        std::string error;
    };

    // `requested` is the format the user gave, or empty; `firstBytes` are the data's
    // first bytes (SignatureLength of them, or all when the data is shorter).
    static Choice Choose(std::string_view requested, const std::vector<std::string>& supported,
                         std::string_view firstBytes);

    // The MIME type the data's first bytes identify, or empty when they identify none.
    static std::string_view Recognize(std::string_view firstBytes);
};
