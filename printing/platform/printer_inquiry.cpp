#include "printing/platform/printer_inquiry.h"

#include "printing/backends/device/port_report.h"
#include "printing/job/job_failure.h"
#include "printing/job/printer_backend.h"
#include "printing/platform/scheme_table.h"
#include "printing/talkback/status_probe.h"

#ifndef _WIN32
#include "printing/snmp/snmp_status_client.h"
#endif

PrinterInquiry::PrinterInquiry(const PrinterAddress& address, const JobOptions& options,
                               const std::atomic<bool>* stop)
    : address_(address), options_(options),
      language_(options.talk.language != PrinterLanguage::Automatic ? options.talk.language
                                                                    : address.language()),
      stop_(stop) {}

bool PrinterInquiry::Stopped() const {
    return stop_ != nullptr && stop_->load();
}

namespace {

// The first language of the device ID that the printer can be asked in.
PrinterLanguage AskableLanguage(const DeviceId& id) {
    constexpr std::pair<DeviceId::Language, PrinterLanguage> kAskable[] = {
        {DeviceId::Language::EscPos, PrinterLanguage::EscPos},
        {DeviceId::Language::Zpl, PrinterLanguage::Zpl},
        {DeviceId::Language::Pjl, PrinterLanguage::Pjl},
    };
    for (const DeviceId::Language spoken : id.languages) {
        for (const auto& [language, askable] : kAskable) {
            if (spoken == language) {
                return askable;
            }
        }
    }
    return PrinterLanguage::Automatic;
}

std::string Described(const DeviceId& id) {
    std::string commandSets;
    for (const std::string& set : id.commandSets) {
        commandSets.append(commandSets.empty() ? "" : ",").append(set);
    }
    return id.manufacturer + " " + id.model + " (device ID; command sets " + commandSets + ")";
}

} // namespace

PrinterLanguage PrinterInquiry::LanguageFor(const PrinterAddress& address,
                                            const TalkOptions& talk) {
    if (talk.language != PrinterLanguage::Automatic) {
        return talk.language;
    }
    if (address.language() != PrinterLanguage::Automatic ||
        address.scheme() != PrinterAddress::Scheme::File) {
        return address.language();
    }
    const PortReport port = ReadPortReport(address.device());
    return port.deviceId ? AskableLanguage(*port.deviceId) : PrinterLanguage::Automatic;
}

PrinterAnswer PrinterInquiry::Run() {
    AskPort();
    AskInLanguage();
    AskSnmp();
    return answer_;
}

void PrinterInquiry::Take(const StatusReport& state, std::string source) {
    answer_.told = true;
    answer_.state.Merge(state);
    answer_.sources.push_back(std::move(source));
}

// A USB printer's port says what the printer is, which may name its language, and a few
// of its conditions, without a byte written to it.
void PrinterInquiry::AskPort() {
    if (address_.scheme() != PrinterAddress::Scheme::File) {
        return;
    }
    const PortReport port = ReadPortReport(address_.device());
    if (port.deviceId) {
        answer_.description = Described(*port.deviceId);
        if (language_ == PrinterLanguage::Automatic) {
            language_ = AskableLanguage(*port.deviceId);
        }
    }
    if (port.status) {
        Take(*port.status, "the USB port");
    }
    if (port.problem != PortReport::Problem::None &&
        port.problem != PortReport::Problem::NotAPrinterPort) {
        answer_.notes.push_back("its port was not asked: " + address_.device() + ": " +
                                port.reason);
    }
}

// The printer is reached as for a job and sent the status query alone; the connection is
// ended in order once it answered, and cut off when it did not.
void PrinterInquiry::AskInLanguage() {
    const SchemeRoute& route = RouteFor(address_.scheme());
    if (!route.talks || route.backend == nullptr) {
        return;
    }
    if (!PrinterLanguageName::Speaks(language_)) {
        answer_.notes.push_back(
            language_ == PrinterLanguage::None
                ? "it was asked nothing in its language, as its language is given as none"
                : "its language is not known, so it was asked nothing in any language (a query "
                  "in a language it does not speak would print): name its language, escpos, "
                  "zpl or pjl");
        return;
    }
    std::unique_ptr<PrinterBackend> printer = route.backend(address_, options_);
    printer->WatchStop(stop_);
    try {
        printer->Open(std::nullopt);
        StatusProbe probe(*printer, language_, stop_);
        const ProbeReading reading = probe.Ask(options_.timeouts.connect);
        if (!reading.Answered()) {
            printer->Abort();
            answer_.notes.push_back(probe.Unanswered(reading, options_.timeouts.connect));
            return;
        }
        answer_.language = language_;
        Take(reading.state, std::string(PrinterLanguageName::TitleOf(language_)));
        printer->Finish();
    } catch (const JobFailure& failure) {
        printer->Abort();
        answer_.notes.push_back(failure.what());
    }
}

// A network printer's SNMP agent is asked when nothing else told, or when the options say
// so: it answers beside the print path, so it prints nothing whatever the printer speaks.
void PrinterInquiry::AskSnmp() {
    const SnmpSettings& snmp = options_.talk.snmp;
    if (address_.host().empty() || (answer_.told && !snmp.always) || Stopped()) {
        return;
    }
#ifdef _WIN32
    answer_.notes.emplace_back("its SNMP agent was not asked: SNMP is not asked on this system");
#else
    const SnmpStatusClient::Answer reply =
        SnmpStatusClient({address_.host(), snmp.port, snmp.community}, options_.timeouts.connect)
            .Ask();
    if (!reply.answered) {
        answer_.notes.push_back("its SNMP agent did not answer: " + reply.reason);
        return;
    }
    if (answer_.description.empty()) {
        answer_.description = reply.description;
    }
    if (!reply.state.KnowsPrinter()) {
        answer_.notes.emplace_back("its SNMP agent answered, but gave no printer's state");
        return;
    }
    Take(reply.report, "SNMP");
#endif
}
