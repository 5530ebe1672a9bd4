#include "printing/backends/device/port_report.h"
#include "tests/printing/backends/device/pty_line.h"
#include "tests/printing/talkback/seen.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Problem = PortReport::Problem;

// A port that gives the answers it was made with.
struct FakePort final : PrinterPort {
    Answer<std::string> id;
    Answer<std::uint8_t> bits;
    FakePort(Answer<std::string> id, Answer<std::uint8_t> bits)
        : id(std::move(id)), bits(std::move(bits)) {}
    Answer<std::string> DeviceIdBytes() override { return id; }
    Answer<std::uint8_t> StatusBits() override { return bits; }
};

template <typename Value> PrinterPort::Answer<Value> Gives(Value value) {
    return {std::move(value), 0, {}};
}

template <typename Value> PrinterPort::Answer<Value> Fails(int error) {
    return {std::nullopt, error, std::strerror(error)};
}

// The device ID as a USB printer's port returns it, its length first.
PrinterPort::Answer<std::string> IdOnPort(const std::string& text) {
    const std::size_t length = text.size() + 2;
    return Gives(std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xff)} +
                 text);
}

const std::string Epson = "MFG:EPSON;CMD:ESCPOS;MDL:TM-T88V;CLS:PRINTER;";
const std::string Zebra = "MFG:Zebra Technologies;CMD:ZPL;MDL:ZTC GK420d;CLS:PRINTER;";
const std::string Hp = "MFG:Hewlett-Packard;CMD:PJL,PCL,POSTSCRIPT;MDL:HP LaserJet 4250;"
                       "CLS:PRINTER;DES:Hewlett-Packard LaserJet 4250;";

// Paper empty (bit 5) shows while set, offline (select, bit 4) and error (nFault, bit 3)
// while clear; the other bits say nothing.
TEST(PortReportTest, TheStatusByteReadsAsConditions) {
    struct Case {
        std::uint8_t bits;
        const char* seen;
    };
    const Case cases[] = {
        {0x18, ""},
        {0xdf, ""},
        {0x38, "PaperOut"},
        {0x08, "Offline"},
        {0x10, "Error"},
        {0x28, "PaperOut Offline"},
        {0x20, "PaperOut Offline Error"},
    };
    for (const Case& c : cases) {
        FakePort port(IdOnPort(Epson), Gives(c.bits));
        const PortReport report = ReadPortReport(port);
        ASSERT_TRUE(report.status) << int{c.bits};
        EXPECT_EQ(Seen(*report.status), c.seen) << int{c.bits};
    }
}

// The report in one line: maker and model, whether a status came, and why not all came.
std::string Summary(const PortReport& report) {
    return (report.deviceId ? report.deviceId->manufacturer + " " + report.deviceId->model
                            : "no ID") +
           (report.status ? ", status" : ", no status") +
           (report.reason.empty() ? "" : ": " + report.reason);
}

// Both requests are asked whatever the other answered; the first that failed says why.
TEST(PortReportTest, SaysWhatThePrinterIsOrWhyItCant) {
    using Id = PrinterPort::Answer<std::string>;
    using Bits = PrinterPort::Answer<std::uint8_t>;
    struct Case {
        Id id;
        Bits bits;
        Problem problem;
        const char* seen;
    };
    const Case cases[] = {
        {IdOnPort(Epson), Gives<std::uint8_t>(0x18), Problem::None, "EPSON TM-T88V, status"},
        {IdOnPort(Zebra), Gives<std::uint8_t>(0x38), Problem::None,
         "Zebra Technologies ZTC GK420d, status"},
        {IdOnPort(Hp), Gives<std::uint8_t>(0x18), Problem::None,
         "Hewlett-Packard HP LaserJet 4250, status"},
        {Fails<std::string>(ENOTTY), Fails<std::uint8_t>(ENOTTY), Problem::NotAPrinterPort,
         "no ID, no status: it is not a printer port (Inappropriate ioctl for device)"},
        {Fails<std::string>(EINVAL), Gives<std::uint8_t>(0x18), Problem::NotSupported,
         "no ID, status: it does not give its device ID (Invalid argument)"},
        {Fails<std::string>(EACCES), Fails<std::uint8_t>(EACCES), Problem::PermissionDenied,
         "no ID, no status: can't read its device ID: Permission denied"},
        {IdOnPort(Epson), Fails<std::uint8_t>(EIO), Problem::NoAnswer,
         "EPSON TM-T88V, no status: can't read its status: Input/output error"},
        {IdOnPort("no fields"), Gives<std::uint8_t>(0x18), Problem::UnreadableId,
         "no ID, status: its device ID makes no sense"},
    };
    for (const Case& c : cases) {
        FakePort port(c.id, c.bits);
        const PortReport report = ReadPortReport(port);
        EXPECT_EQ(Summary(report), c.seen);
        EXPECT_EQ(report.problem, c.problem) << c.seen;
    }
}

// The real port over devices of this machine that are no printer ports: each says so at
// once, and what is no character device is not even opened (a FIFO would wait for a writer).
TEST(PortReportTest, WhatIsNoPrinterPortSaysSo) {
    const PtyLine line;
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        Problem problem;
        std::string reason;
    };
    const Case cases[] = {
        {"/dev/null", Problem::NotAPrinterPort,
         "it is not a printer port (Inappropriate ioctl for device)"},
        {line.path, Problem::NotAPrinterPort, "it is a terminal, not a printer port"},
        {fifo, Problem::NotAPrinterPort, "it is not a printer port (no character device)"},
        {dir.File("missing"), Problem::Missing, "it does not exist"},
    };
    for (const Case& c : cases) {
        const PortReport report = ReadPortReport(c.path);
        EXPECT_FALSE(report.deviceId || report.status) << c.path;
        EXPECT_EQ(report.problem, c.problem) << c.path;
        EXPECT_EQ(report.reason, c.reason) << c.path;
    }
}

} // namespace
