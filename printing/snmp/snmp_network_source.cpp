#include "printing/snmp/snmp_network_source.h"

#include "printing/snmp/snmp_printer_state.h"
#include "printing/snmp/snmp_session.h"
#include "printing/talkback/reply_text.h"

#include <algorithm>
#include <utility>

namespace {

using Oid = SnmpSession::Oid;
using Binding = SnmpSession::Binding;
using Clock = std::chrono::steady_clock;

// hrDeviceDescr and hrPrinterStatus of device 1, as printers number their own, and
// sysDescr.
const Oid kDeviceDescr = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3, 1};
const Oid kPrinterStatus = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1, 1};
const Oid kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1, 0};

// The printer an agent's answer tells of: its description, hrDeviceDescr before sysDescr;
// nothing when the agent has no printer status.
std::optional<std::string> PrinterDescription(const std::vector<Binding>& bindings) {
    bool printer = false;
    std::string device;
    std::string system;
    for (const Binding& binding : bindings) {
        if (binding.name == kPrinterStatus && binding.kind == Binding::Kind::Integer) {
            printer = true;
        } else if (binding.name == kDeviceDescr && binding.kind == Binding::Kind::Bytes) {
            device = Trimmed(binding.bytes.substr(0, binding.bytes.find('\0')));
        } else if (binding.name == kSysDescr && binding.kind == Binding::Kind::Bytes) {
            system = Trimmed(binding.bytes.substr(0, binding.bytes.find('\0')));
        }
    }
    if (!printer) {
        return std::nullopt;
    }
    return device.empty() ? system : device;
}

} // namespace

SnmpNetworkSource::SnmpNetworkSource(Ipv4Network network, SnmpSettings settings)
    : network_(std::move(network)), settings_(std::move(settings)) {}

std::string SnmpNetworkSource::Search(Clock::time_point deadline, const std::atomic<bool>* stop,
                                      const Found& found) {
    const std::vector<std::string> hosts = network_.Hosts();
    for (std::size_t first = 0; first < hosts.size(); first += kBatch) {
        const std::size_t end = std::min(hosts.size(), first + kBatch);
        // Each batch has its share of the time left, so the last one has its share too.
        const std::size_t batchesLeft = (hosts.size() - first + kBatch - 1) / kBatch;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || (stop != nullptr && stop->load())) {
            break;
        }
        std::vector<SnmpSession::Peer> peers;
        for (std::size_t i = first; i < end; ++i) {
            peers.push_back(
                {hosts[i], settings_.port, settings_.community, SnmpSession::Version::V2c});
        }
        const auto answers = SnmpSession::GetEach(peers, {kDeviceDescr, kPrinterStatus, kSysDescr},
                                                  left / static_cast<long>(batchesLeft),
                                                  SnmpPrinterState::kTextLimit, stop);
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const std::optional<std::string> description =
                answers[i] ? PrinterDescription(*answers[i]) : std::nullopt;
            if (description) {
                DiscoveredPrinter printer;
                printer.address = "socket://" + peers[i].host + ":9100";
                printer.model = *description;
                printer.foundBy = {"SNMP"};
                found(std::move(printer));
            }
        }
    }
    return {};
}
