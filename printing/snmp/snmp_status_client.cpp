#include "printing/snmp/snmp_status_client.h"

#include "printing/snmp/snmp_session.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>
#include <vector>

namespace {

using Oid = SnmpSession::Oid;
using Binding = SnmpSession::Binding;
using Kind = Binding::Kind;
using Alert = SnmpPrinterState::Alert;

// The objects of the GET, in the order they are asked for: the Host Resources MIB's
// hrDeviceDescr, hrDeviceStatus, hrPrinterStatus and hrPrinterDetectedErrorState for device
// 1, and MIB-II's sysDescr.
const Oid kDeviceDescr = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3, 1};
const Oid kDeviceStatus = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 5, 1};
const Oid kPrinterStatus = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1, 1};
const Oid kDetectedErrorState = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2, 1};
const Oid kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1, 0};

// The columns of the Printer MIB's prtAlertTable that are walked, each row's index being
// hrDeviceIndex.prtAlertIndex.
enum class AlertColumn { Severity, Code, Description };
struct Column {
    AlertColumn what;
    Oid base;
};
const std::array kAlertColumns = {
    Column{AlertColumn::Severity, {1, 3, 6, 1, 2, 1, 43, 18, 1, 1, 2}},
    Column{AlertColumn::Code, {1, 3, 6, 1, 2, 1, 43, 18, 1, 1, 7}},
    Column{AlertColumn::Description, {1, 3, 6, 1, 2, 1, 43, 18, 1, 1, 8}},
};
// Rows asked for in one GETBULK: three columns of up to 255-byte texts stay far below what
// a UDP datagram holds.
constexpr int kRowsPerRequest = 8;

SnmpSession::Peer PeerOf(const SnmpStatusClient::Target& target) {
    return {target.host, target.port, target.community,
            target.version == SnmpStatusClient::Version::V1 ? SnmpSession::Version::V1
                                                            : SnmpSession::Version::V2c};
}

void ReadScalars(const std::vector<Binding>& bindings, SnmpStatusClient::Answer& answer) {
    std::string deviceDescr;
    std::string sysDescr;
    for (const Binding& binding : bindings) {
        if (binding.kind == Kind::Integer && binding.name == kDeviceStatus) {
            answer.state.deviceStatus = SnmpPrinterState::DeviceStatusOf(binding.integer);
        } else if (binding.kind == Kind::Integer && binding.name == kPrinterStatus) {
            answer.state.printerStatus = SnmpPrinterState::PrinterStatusOf(binding.integer);
        } else if (binding.kind == Kind::Bytes && binding.name == kDetectedErrorState) {
            answer.state.detectedErrorState = binding.bytes;
        } else if (binding.kind == Kind::Bytes && binding.name == kDeviceDescr) {
            deviceDescr = binding.bytes;
        } else if (binding.kind == Kind::Bytes && binding.name == kSysDescr) {
            sysDescr = binding.bytes;
        }
    }
    answer.description = deviceDescr.empty() ? sysDescr : deviceDescr;
}

// The walk of the alert table, one cursor per column, all columns in each request. A column
// ends where its objects do, at the end of the agent's view, or where an agent would lead
// the walk backwards (which would never end).
class AlertWalk {
public:
    AlertWalk() {
        for (const Column& column : kAlertColumns) {
            cursors_.push_back({&column, column.base, false});
        }
    }

    // Walks until the table's end, the row limit or the session's failure; true when it
    // reached the table's end.
    bool Run(SnmpSession& session) {
        while (rows_.size() < SnmpPrinterState::kAlertLimit) {
            std::vector<Cursor*> open;
            std::vector<Oid> names;
            for (Cursor& cursor : cursors_) {
                if (!cursor.done) {
                    open.push_back(&cursor);
                    names.push_back(cursor.at);
                }
            }
            if (open.empty()) {
                return true;
            }
            const std::optional<std::vector<Binding>> bindings =
                session.Next(names, kRowsPerRequest);
            if (!bindings) {
                return false;
            }
            for (std::size_t i = 0; i < bindings->size(); ++i) {
                Take(*open[i % open.size()], (*bindings)[i]);
            }
        }
        return std::all_of(cursors_.begin(), cursors_.end(),
                           [](const Cursor& cursor) { return cursor.done; });
    }

    // The rows in the table's order, no more than the limit.
    std::vector<Alert> Alerts() const {
        std::vector<Alert> alerts;
        for (const auto& [index, alert] : rows_) {
            if (alerts.size() == SnmpPrinterState::kAlertLimit) {
                break;
            }
            alerts.push_back(alert);
        }
        return alerts;
    }

private:
    struct Cursor {
        const Column* column;
        Oid at;
        bool done;
    };

    void Take(Cursor& cursor, const Binding& binding) {
        const Oid& base = cursor.column->base;
        const bool inColumn = (binding.kind == Kind::Integer || binding.kind == Kind::Bytes ||
                               binding.kind == Kind::Other) &&
                              binding.name.size() > base.size() &&
                              std::equal(base.begin(), base.end(), binding.name.begin());
        if (cursor.done || !inColumn || !(cursor.at < binding.name)) {
            cursor.done = true;
            return;
        }
        cursor.at = binding.name;
        Alert& alert =
            rows_[Oid(binding.name.begin() + static_cast<long>(base.size()), binding.name.end())];
        switch (cursor.column->what) {
        case AlertColumn::Severity:
            alert.severity = binding.kind == Kind::Integer ? binding.integer : 0;
            break;
        case AlertColumn::Code:
            alert.code = binding.kind == Kind::Integer ? binding.integer : 0;
            break;
        case AlertColumn::Description:
            alert.description = binding.bytes;
            break;
        }
    }

    std::vector<Cursor> cursors_;
    std::map<Oid, Alert> rows_;
};

} // namespace

SnmpStatusClient::SnmpStatusClient(Target target, std::chrono::milliseconds timeout)
    : target_(std::move(target)), timeout_(timeout) {}

SnmpStatusClient::Answer SnmpStatusClient::Ask() const {
    Answer answer;
    SnmpSession session(PeerOf(target_), timeout_, SnmpPrinterState::kTextLimit);
    const std::optional<std::vector<Binding>> scalars =
        session.Get({kDeviceDescr, kDeviceStatus, kPrinterStatus, kDetectedErrorState, kSysDescr});
    if (!scalars) {
        answer.reason = session.Reason();
        return answer;
    }
    answer.answered = true;
    ReadScalars(*scalars, answer);

    AlertWalk walk;
    answer.alertsCut = !walk.Run(session);
    answer.reason = session.Reason(); // why the walk stopped early, if it failed
    answer.state.alerts = walk.Alerts();
    answer.report = answer.state.Report();
    return answer;
}
