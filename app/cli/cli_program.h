#pragma once

#include "app/cli/progress_line.h"
#include "printing/job/job_control.h"
#include "printing/job/job_options.h"
#include "printing/job/job_result.h"
#include "printing/job/printer_target.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ByteSource;
class InterruptFlag;
class JobMonitor;
class PrinterAccess;
class PrinterCatalog;

namespace CliArguments {
struct Request;
}

// tolvenmark-cli without its platform: the commands run against the printers handed in
// (their backends, catalog and monitor) and three byte streams, so that they can be
// tested with fakes.
class CliProgram {
public:
    static constexpr int ExitAllSent = 0;
    static constexpr int ExitSomeFailed = 1;
    static constexpr int ExitUsage = 2;

    // The catalog and the monitor are made for each run with the time-outs its command
    // line gives; every job carries its own options.
    CliProgram(PrinterAccess& printers, std::istream& in, std::ostream& out, std::ostream& err);
    ~CliProgram();

    // Runs the command line (without the program's name) and returns the exit status.
    int Run(const std::vector<std::string>& arguments);

    // Shows how far each job of print has come on the error stream (a terminal), unless
    // --quiet, redrawn as `now` says time passes.
    void ShowProgress(ProgressLine::Now now = ProgressLine::Clock::now);
    // Ctrl+C and SIGTERM, as the flag tells them: print and send withdraw the job in
    // progress, send no further one, say so, and end with the flag's exit status.
    void WatchInterrupt(const InterruptFlag& flag);

private:
    int List(const CliArguments::Request& request);
    int Print(const CliArguments::Request& request);
    int Send(const CliArguments::Request& request);
    int Show(const CliArguments::Request& request);
    int Encode(const CliArguments::Request& request);
    int Status(const CliArguments::Request& request);
    int Discover(const CliArguments::Request& request);

    std::optional<PrinterTarget> ChoosePrinter(const CliArguments::Request& request);
    bool PrintOperand(const PrinterTarget& printer, const std::string& operand);
    bool PrintStream(const PrinterTarget& printer, const std::string& name, ByteSource& source,
                     int fileCount);
    bool Conclude(const JobResult& result, const PrinterTarget& printer, const std::string& name,
                  int fileCount);
    void ReportJob(const PrinterTarget& printer, int fileCount, const JobResult& result);
    int DirectStatus(const PrinterTarget& printer, bool json);
    std::string FailedAt(const JobResult& result, const PrinterTarget& printer) const;
    JobControl Control() const;
    JobControl BeginJob(const std::string& name, std::optional<std::uint64_t> total);
    void EndProgress();
    bool Interrupted() const;
    void NoteWithdrawn(const std::string& name, const PrinterTarget& printer);
    int ReportInterruption();
    bool AwaitSentJobs();
    bool AwaitJob(const PrinterTarget& printer, int jobId);
    std::string ReadInput(const std::vector<std::string>& operands);
    int WriteOutput(const std::string& bytes);
    void Complain(const std::string& message);
    PrinterCatalog& Catalog();
    JobMonitor& Monitor();

    PrinterAccess& printers_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    // This run's job options, from its command line: title, format, time-outs.
    JobOptions options_;
    std::unique_ptr<PrinterCatalog> catalog_;
    std::unique_ptr<JobMonitor> monitor_;

    std::optional<ProgressLine::Now> progressClock_;
    bool quiet_ = false;
    std::optional<ProgressLine> progress_;
    const InterruptFlag* interrupt_ = nullptr;
    // What an interruption withdrew: "the job for NAME was withdrawn from PRINTER".
    std::optional<std::string> withdrawn_;
    // The jobs this run sent that the spooler numbered: printer and job id.
    std::vector<std::pair<PrinterTarget, int>> sentJobs_;
};
