#include "printing/job/printer_target.h"

#include "printing/job/job_failure.h"

PrinterTarget PrinterTarget::Resolve(const std::string& name) {
    if (!PrinterAddress::IsAddress(name)) {
        return Queue(name);
    }
    ParsedPrinterAddress parsed = PrinterAddress::Parse(name);
    if (!parsed.address) {
        throw JobFailure(FailureKind::MalformedAddress, parsed.error);
    }
    // Messages name the printer as the user wrote it.
    return {name, std::move(parsed.address)};
}

PrinterTarget PrinterTarget::Queue(std::string queueName) {
    return {std::move(queueName), std::nullopt};
}

PrinterTarget PrinterTarget::Direct(const PrinterAddress& address) {
    return {address.Text(), address};
}
