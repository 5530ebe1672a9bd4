#include "app/cli/capture_command.h"

#include "app/cli/cli_arguments.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/inspect/inspection.h"
#include "core/inspect/inspection_summary.h"
#include "core/notation.h"
#include "core/safe_text.h"
#include "printing/capture/capture_listener.h"
#include "printing/capture/captured_job.h"

#include <iostream>
#include <memory>
#include <stdexcept>

#ifndef _WIN32
#include "printing/dnssd/dnssd_advertisement.h"
#endif

namespace {

constexpr const char* ProgramName = "tolvenmark-cli";

// Every line capture writes goes out through the one rule for text from outside: a
// sender's bytes, names and addresses never reach the terminal as commands.
std::string Shown(std::string_view text) {
    return SafeText(text, WholeText);
}

bool IsUtf8Continuation(unsigned char byte) {
    return (byte & 0xc0) == 0x80;
}

// Where the text may end so that the rest, joined to what follows, is shown as the whole
// would be: before its last character when that may go on after the end.
std::size_t EndOfWholeCharacters(std::string_view text) {
    // A character is at most four bytes: a lead byte and up to three continuations.
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if (!IsUtf8Continuation(byte)) {
            return byte >= 0xc0 ? text.size() - back : text.size();
        }
    }
    return text.size();
}

// The last part of a path: "job-3.prn" of "captures/job-3.prn".
std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "job 3 from 127.0.0.1:51234" and, for LPD, what its control file said:
// "job 3 from 127.0.0.1:51234 (LPD queue "q", job "report", user "ann")".
std::string JobTitle(const CapturedJob& job) {
    std::string title = "job " + std::to_string(job.number) + " from " + job.peer;
    if (job.protocol == CaptureOptions::Protocol::Lpd) {
        title += " (LPD queue \"" + job.queue + "\", job \"" + job.jobName + "\", user \"" +
                 job.user + "\")";
    }
    return title;
}

CaptureOptions OptionsFor(const CliArguments::Request& request) {
    CaptureOptions options;
    options.endpoints = request.capture.endpoints;
    if (options.endpoints.empty()) {
        options.endpoints.push_back({});
    }
    options.dir = request.capture.dir.value_or(std::string());
    options.maxSize = request.capture.maxSize.value_or(options.maxSize);
    options.emulation = request.capture.emulation;
    if (request.timeoutSeconds) {
        options.stallTimeout = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(*request.timeoutSeconds));
    }
    return options;
}

#ifndef _WIN32
// What the listeners are announced as: the first socket listener as a raw printer, the
// first LPD listener as a line printer; LPD's queue is "auto", though capture takes any.
std::vector<DnssdAdvertisement::Service>
AdvertisedServices(const std::vector<CaptureOptions::Endpoint>& endpoints) {
    using Protocol = CaptureOptions::Protocol;
    const std::vector<std::string> txt = {"txtvers=1", "qtotal=1", "ty=Tolvenmark capture",
                                          "pdl=application/octet-stream"};
    std::vector<DnssdAdvertisement::Service> services;
    for (const Protocol protocol : {Protocol::Socket, Protocol::Lpd}) {
        for (const CaptureOptions::Endpoint& endpoint : endpoints) {
            if (endpoint.protocol != protocol) {
                continue;
            }
            const bool lpd = protocol == Protocol::Lpd;
            DnssdAdvertisement::Service service{lpd ? "_printer._tcp" : "_pdl-datastream._tcp",
                                                endpoint.address, endpoint.port, txt};
            if (lpd) {
                service.txt.insert(service.txt.begin() + 2, "rp=auto");
            }
            services.push_back(std::move(service));
            break;
        }
    }
    return services;
}
#endif

} // namespace

CaptureCommand::CaptureCommand(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

int CaptureCommand::Run(const CliArguments::Request& request) {
    using Output = CliArguments::Request::Capture::Output;
    show_ = request.capture.output == Output::Show;
    quiet_ = request.capture.output == Output::Quiet;
    const CaptureOptions options = OptionsFor(request);
    CaptureListener listener(options, *this);
    try {
        listener.Listen();
    } catch (const FileError& error) {
        err_ << ProgramName << ": " << Shown(error.what()) << std::endl;
        return 1;
    } catch (const std::runtime_error& error) {
        err_ << ProgramName << ": " << Shown(error.what()) << std::endl;
        return 1;
    }
#ifdef _WIN32
    if (request.capture.advertise) {
        Advertised("not advertised: this build has no DNS-SD");
    }
#else
    std::unique_ptr<DnssdAdvertisement> advertisement;
    if (request.capture.advertise) {
        advertisement = std::make_unique<DnssdAdvertisement>(
            *request.capture.advertise, AdvertisedServices(listener.Endpoints()),
            [this](const std::string& line) { Advertised(line); });
        if (!advertisement->Failure().empty()) {
            Advertised("not advertised: " + advertisement->Failure());
        }
    }
#endif
    listener.Run();
    return 0;
}

void CaptureCommand::Advertised(const std::string& line) {
    const std::lock_guard<std::mutex> guard(output_);
    err_ << Shown(line) << std::endl;
}

void CaptureCommand::Listening(const std::string& where) {
    const std::lock_guard<std::mutex> guard(output_);
    err_ << "listening for raw jobs on " << Shown(where) << std::endl;
}

void CaptureCommand::Job(const CapturedJob& job) {
    const std::lock_guard<std::mutex> guard(output_);
    const std::string title = JobTitle(job);
    const std::string size = std::to_string(job.size) + " bytes";
    if (!job.Complete()) {
        err_ << ProgramName << ": "
             << Shown(title + " cut off after " + size + ": " + job.cutOff + "; kept as " +
                      job.path)
             << std::endl;
        return;
    }
    if (quiet_) {
        return;
    }
    out_ << Shown(title + ": " + size + " -> " + job.path) << '\n';
    if (show_) {
        Inspection inspection;
        const bool whole = ShowBytes(job.path, inspection);
        out_ << '\n';
        if (whole) {
            inspection.End();
            out_ << InspectionSummary::OneLine(FileName(job.path), inspection) << '\n';
        }
    }
    out_.flush();
}

// The job's token text, converted piece by piece: each byte's token stands alone, so the
// pieces join to the text of the whole. The bytes are the sender's, so the text goes out
// through the one rule too: bytes that are no printable UTF-8 (0x80 to 0xfe; the others
// have tokens) show as \xNN. A character a piece cuts waits for the next.
bool CaptureCommand::ShowBytes(const std::string& path, Inspection& inspection) {
    std::string text;
    bool whole = true;
    try {
        FileReader reader(path);
        std::string piece(64 * 1024, '\0');
        while (const std::size_t read = reader.Read(piece.data(), piece.size())) {
            inspection.Feed(std::string_view(piece.data(), read));
            text += modTools::BytesToNotation(std::string_view(piece.data(), read));
            const std::size_t end = EndOfWholeCharacters(text);
            out_ << Shown(std::string_view(text).substr(0, end));
            text.erase(0, end);
        }
    } catch (const FileError& error) {
        err_ << ProgramName << ": " << Shown(error.what()) << std::endl;
        whole = false;
    }
    out_ << Shown(text);
    return whole;
}

void CaptureCommand::Problem(const std::string& peer, const std::string& message) {
    const std::lock_guard<std::mutex> guard(output_);
    err_ << ProgramName << ": " << Shown(peer + ": " + message) << std::endl;
}
