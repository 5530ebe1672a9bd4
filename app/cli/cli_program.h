#pragma once

#include "app/cli/progress_line.h"
#include "printing/job_control.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ByteSource;
struct DirectOptions;
class InterruptFlag;
class JobMonitor;
class PrinterCatalog;
class Spooler;

namespace CliArguments {
struct Request;
}

// tolvenmark-cli without its platform: the commands run against a printer catalog, a
// spooler and three byte streams handed in, so that they can be tested with fakes.
class CliProgram {
public:
    static constexpr int ExitAllSent = 0;
    static constexpr int ExitSomeFailed = 1;
    static constexpr int ExitUsage = 2;

    // The direct options, when given, are the ones the spooler reads for printer
    // addresses: --format and --timeout are set in them. The monitor, when given, follows
    // the jobs sent (--wait) and tells how a printer stands (status).
    CliProgram(PrinterCatalog& catalog, Spooler& spooler, std::istream& in, std::ostream& out,
               std::ostream& err, DirectOptions* directOptions = nullptr,
               JobMonitor* monitor = nullptr);

    // Runs the command line (without the program's name) and returns the exit status.
    int Run(const std::vector<std::string>& arguments);

    // Shows how far each job of print has come on the error stream (a terminal), unless
    // --quiet, redrawn as `now` says time passes.
    void ShowProgress(ProgressLine::Now now = ProgressLine::Clock::now);
    // Ctrl+C and SIGTERM, as the flag tells them: print and send withdraw the job in
    // progress, send no further one, say so, and end with the flag's exit status.
    void WatchInterrupt(const InterruptFlag& flag);

private:
    int List();
    int Print(const CliArguments::Request& request);
    int Send(const CliArguments::Request& request);
    int Show(const CliArguments::Request& request);
    int Encode(const CliArguments::Request& request);
    int Status(const CliArguments::Request& request);

    std::optional<std::string> ChoosePrinter(const CliArguments::Request& request);
    bool PrintOperand(const std::string& printer, const std::string& operand,
                      const std::string& title);
    bool PrintWholeFile(const std::string& printer, const std::string& path,
                        const std::string& title);
    bool PrintStream(const std::string& printer, const std::string& name, ByteSource& source,
                     const std::string& title, int fileCount);
    void ReportJob(const std::string& printer, int fileCount);
    JobControl Control() const;
    JobControl BeginJob(const std::string& name, std::optional<std::uint64_t> total);
    void EndProgress();
    bool Interrupted() const;
    void NoteWithdrawn(const std::string& name, const std::string& printer);
    int ReportInterruption();
    bool AwaitSentJobs();
    bool AwaitJob(const std::string& printer, int jobId);
    std::string ReadInput(const std::vector<std::string>& operands);
    int WriteOutput(const std::string& bytes);
    void Complain(const std::string& message);
    void SetDirectOptions(const CliArguments::Request& request);

    PrinterCatalog& catalog_;
    Spooler& spooler_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    DirectOptions* directOptions_;

    std::optional<ProgressLine::Now> progressClock_;
    bool quiet_ = false;
    std::optional<ProgressLine> progress_;
    const InterruptFlag* interrupt_ = nullptr;
    // What an interruption withdrew: "the job for NAME was withdrawn from PRINTER".
    std::optional<std::string> withdrawn_;
    JobMonitor* monitor_;
    // The jobs this run sent that the spooler numbered: printer and job id.
    std::vector<std::pair<std::string, int>> sentJobs_;
};
