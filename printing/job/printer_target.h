#pragma once

#include "printing/address/printer_address.h"

#include <optional>
#include <string>

// A printer as the program reaches it: a queue of the system's spooler, or a printer
// reached directly by its address. A printer's name is resolved into a target once, where
// it enters the program (-P, the printer list, the program's arguments, the address
// dialog); nothing after that looks at the text for its scheme.
class PrinterTarget {
public:
    // The name as a target. A name written as an address (socket://, lpd://, ipp://,
    // ipps://, file:, serial:) must be a well-formed one: a malformed address throws a
    // JobFailure of kind MalformedAddress whose message names the fault. Any other name is
    // a queue's.
    static PrinterTarget Resolve(const std::string& name);

    static PrinterTarget Queue(std::string queueName);
    static PrinterTarget Direct(const PrinterAddress& address);

    bool IsQueue() const { return !address_; }
    // The queue's name, or the address as it was written (Direct: written out in full).
    const std::string& Name() const { return name_; }
    // The address of a printer reached directly; only when !IsQueue().
    const PrinterAddress& Address() const { return *address_; }

    bool operator==(const PrinterTarget&) const = default;

private:
    PrinterTarget(std::string name, std::optional<PrinterAddress> address)
        : name_(std::move(name)), address_(std::move(address)) {}

    std::string name_;
    std::optional<PrinterAddress> address_;
};
