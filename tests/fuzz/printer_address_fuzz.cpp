// Any text given as a printer address: the parser never fails other than by refusing in
// words, and what it takes is an address by IsAddress and reads back from its own Text().
#include "printing/address/printer_address.h"
#include "tests/fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
    if (!parsed.address) {
        Require(!parsed.error.empty(), "a refusal says why", text);
        return 0;
    }
    Require(PrinterAddress::IsAddress(text), "a parsed address is an address by IsAddress", text);
    const std::string written = parsed.address->Text();
    Require(PrinterAddress::IsAddress(written), "Text() is an address by IsAddress", text);
    const ParsedPrinterAddress again = PrinterAddress::Parse(written);
    Require(again.address.has_value(), "Text() parses", text);
    Require(*again.address == *parsed.address, "Text() parses to the same address", text);
    Require(again.address->Text() == written, "Text() is written the same twice", text);
    return 0;
}
