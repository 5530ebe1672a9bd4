#include "printing/direct/routing_spooler.h"

#include <utility>

RoutingSpooler::RoutingSpooler(Spooler& queues, DirectFactory direct)
    : queues_(queues), direct_(std::move(direct)) {}

RoutingSpooler::RoutingSpooler(std::unique_ptr<Spooler> queues, DirectFactory direct)
    : ownedQueues_(std::move(queues)), queues_(*ownedQueues_), direct_(std::move(direct)) {}

bool RoutingSpooler::OpenPrinter(const std::string& printerName) {
    active_ = nullptr;
    directSpooler_.reset();
    addressError_.clear();
    if (!PrinterAddress::IsAddress(printerName)) {
        active_ = &queues_;
        return queues_.OpenPrinter(printerName);
    }
    ParsedPrinterAddress parsed = PrinterAddress::Parse(printerName);
    if (!parsed.address) {
        addressError_ = std::move(parsed.error);
        return false;
    }
    directSpooler_ = direct_(*parsed.address);
    active_ = directSpooler_.get();
    return active_->OpenPrinter(printerName);
}

bool RoutingSpooler::StartDocument(const std::string& documentName) {
    return active_ != nullptr && active_->StartDocument(documentName);
}

bool RoutingSpooler::StartPage() {
    return active_ != nullptr && active_->StartPage();
}

bool RoutingSpooler::Write(std::string_view data) {
    return active_ != nullptr && active_->Write(data);
}

bool RoutingSpooler::EndPage() {
    return active_ != nullptr && active_->EndPage();
}

bool RoutingSpooler::EndDocument() {
    return active_ != nullptr && active_->EndDocument();
}

bool RoutingSpooler::ClosePrinter() {
    return active_ != nullptr && active_->ClosePrinter();
}

void RoutingSpooler::CancelDocument() {
    if (active_ != nullptr) {
        active_->CancelDocument();
    }
}

std::string RoutingSpooler::LastError() const {
    return active_ != nullptr ? active_->LastError() : addressError_;
}

int RoutingSpooler::JobId() const {
    return active_ != nullptr ? active_->JobId() : 0;
}
