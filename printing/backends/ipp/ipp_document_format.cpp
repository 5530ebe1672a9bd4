#include "printing/backends/ipp/ipp_document_format.h"

#include <algorithm>
#include <array>

namespace {

struct Signature {
    std::string_view prefix;
    std::string_view format;
};

// Printer-ready data announces itself in its first bytes. PCL starts with a reset
// (ESC E), PJL with the universal exit (ESC %-12345X) and is taken by PCL printers.
constexpr std::array<Signature, 7> Signatures{{
    {"%PDF-", "application/pdf"},
    {"%!", "application/postscript"},
    {"\x1B"
     "E",
     "application/vnd.hp-pcl"},
    {"\x1B%-12345X", "application/vnd.hp-pcl"},
    {"RaS2", "image/pwg-raster"},
    {"UNIRAST", "image/urf"},
    {"\xFF\xD8\xFF", "image/jpeg"},
}};

// MIME types compare without regard to ASCII case.
bool SameType(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The printer's own spelling of the format, or nothing when it does not list it.
const std::string* Listed(const std::vector<std::string>& supported, std::string_view format) {
    const auto found =
        std::find_if(supported.begin(), supported.end(),
                     [&](const std::string& entry) { return SameType(entry, format); });
    return found == supported.end() ? nullptr : &*found;
}

std::string Joined(const std::vector<std::string>& formats) {
    std::string text;
    for (const std::string& format : formats) {
        text += (text.empty() ? "" : ", ") + format;
    }
    return text;
}

IppDocumentFormat::Choice Take(std::string format) {
    return {std::move(format), {}};
}

IppDocumentFormat::Choice Refuse(std::string why) {
    return {{}, std::move(why)};
}

} // namespace

std::string_view IppDocumentFormat::Recognize(std::string_view firstBytes) {
    for (const Signature& signature : Signatures) {
        if (firstBytes.starts_with(signature.prefix)) {
            return signature.format;
        }
    }
    return {};
}

IppDocumentFormat::Choice IppDocumentFormat::Choose(std::string_view requested,
                                                    const std::vector<std::string>& supported,
                                                    std::string_view firstBytes) {
    const std::string_view recognized = Recognize(firstBytes);
    // A printer that lists nothing does not say what it refuses: trust the user, then the
    // data's signature.
    if (supported.empty()) {
        return Take(std::string(!requested.empty()    ? requested
                                : !recognized.empty() ? recognized
                                                      : OctetStream));
    }
    if (!requested.empty()) {
        if (const std::string* format = Listed(supported, requested)) {
            return Take(*format);
        }
        return Refuse("the printer refused the format " + std::string(requested) +
                      "; it takes: " + Joined(supported));
    }
    if (const std::string* format = Listed(supported, OctetStream)) {
        return Take(*format);
    }
    if (!recognized.empty()) {
        if (const std::string* format = Listed(supported, recognized)) {
            return Take(*format);
        }
        return Refuse("the data is " + std::string(recognized) +
                      ", which the printer does not take; it takes: " + Joined(supported));
    }
    return Refuse("the printer takes no application/octet-stream and the data has no signature "
                  "of a format it takes; it takes: " +
                  Joined(supported));
}
