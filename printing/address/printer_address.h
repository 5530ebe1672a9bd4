#pragma once

#include "printing/address/printer_language.h"
#include "printing/address/serial_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ParsedPrinterAddress;

// A printer reached directly, past any queue, written as an address with a scheme:
//
//   socket://HOST[:PORT]          AppSocket, port 9100 unless given
//   lpd://HOST[:PORT]/QUEUE       a line printer daemon's queue, port 515
//   ipp://HOST[:PORT]/PATH        an IPP printer, port 631; ipps:// the same over TLS
//   file:DEVICE                   a character device or FIFO, e.g. file:/dev/usb/lp0
//   serial:DEVICE?baud=N+bits=8+parity=none+flow=none
//
// Addresses that carry the printer's replies (socket, file, serial) take the language the
// printer is asked about its state in: socket://HOST?language=zpl, file:DEVICE?language=pjl,
// serial:DEVICE?baud=9600+language=escpos.
//
// HOST is a name, an IPv4 address or an IPv6 address in brackets ([::1]). Any printer
// name that is not an address is a queue name of the system's spooler.
class PrinterAddress {
public:
    enum class Scheme { Socket, Lpd, Ipp, Ipps, File, Serial };

    // Whether the name is written as an address (well formed or not), rather than as a
    // queue name. A queue name may hold a colon; it never holds "://", and it never
    // starts with "file:" or "serial:".
    static bool IsAddress(std::string_view printerName);

    // The address, or why the text is not a usable one, in words that name the fault.
    static ParsedPrinterAddress Parse(std::string_view text);

    static std::uint16_t DefaultPort(Scheme scheme);

    Scheme scheme() const { return scheme_; }
    // The host without the brackets of an IPv6 literal; empty for devices.
    const std::string& host() const { return host_; }
    std::uint16_t port() const { return port_; }
    // The LPD queue name, or the IPP resource path ("/ipp/print").
    const std::string& queue() const { return queue_; }
    // The device of file: and serial: addresses.
    const std::string& device() const { return device_; }
    const SerialSettings& serial() const { return serial_; }
    // The language written in the address; Automatic when none is.
    PrinterLanguage language() const { return language_; }
    // The same printer, to be asked in another language.
    PrinterAddress WithLanguage(PrinterLanguage language) const {
        PrinterAddress other = *this;
        other.language_ = language;
        return other;
    }

    // The host as it is written in a URL: IPv6 literals in brackets.
    std::string HostForUrl() const;

    // The address written out in full, the default port included.
    std::string Text() const;
    // The address without its language: where the printer is, not how it is spoken to.
    std::string TextWithoutLanguage() const;

    bool operator==(const PrinterAddress&) const = default;

private:
    PrinterAddress() = default;

    Scheme scheme_ = Scheme::Socket;
    std::string host_;
    std::uint16_t port_ = 0;
    std::string queue_;
    std::string device_;
    SerialSettings serial_;
    PrinterLanguage language_ = PrinterLanguage::Automatic;

    friend class PrinterAddressParser;
};

struct ParsedPrinterAddress {
    std::optional<PrinterAddress> address;
    std::string error;
};
