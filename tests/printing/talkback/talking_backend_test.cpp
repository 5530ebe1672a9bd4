#include "printing/job/job_driver.h"
#include "printing/talkback/job_language.h"
#include "printing/talkback/talking_backend.h"

#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A printer that answers each status query with the next of the replies scripted for it,
// and keeps every byte it was written.
class ScriptedPrinter final : public PrinterBackend {
public:
    std::map<std::string, std::deque<std::string>>& replies;
    std::string& written;

    ScriptedPrinter(std::map<std::string, std::deque<std::string>>& r, std::string& w)
        : replies(r), written(w) {}
    void Open(std::optional<std::uint64_t>) override { written += "[open]"; }
    void Write(std::string_view data) override {
        written += data;
        const auto script = replies.find(std::string(data));
        if (script != replies.end() && !script->second.empty()) {
            pending_ += script->second.front();
            script->second.pop_front();
        }
    }
    std::size_t Read(char* buffer, std::size_t capacity, std::chrono::milliseconds wait) override {
        if (pending_.empty()) {
            std::this_thread::sleep_for(wait);
            return 0;
        }
        const std::size_t count = std::min(capacity, pending_.size());
        pending_.copy(buffer, count);
        pending_.erase(0, count);
        return count;
    }
    void Finish() override { written += "[finish]"; }
    void Abort() override { written += "[abort]"; }

private:
    std::string pending_;
};

const std::string kEscPosQueries = "\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04";
const std::string kPjlQuery = "\x1b%-12345X@PJL\r\n@PJL INFO STATUS\r\n\x1b%-12345X";

std::string HostStatus(int paperOut, int formats, int labels) {
    return "\x02"
           "030," +
           std::to_string(paperOut) + ",0,1245," + std::to_string(formats) +
           ",0,0,0,000,0,0,0\x03\r\n\x02"
           "000,0,0,0,0,2,4,0," +
           std::to_string(labels) +
           ",1,000\x03\r\n\x02"
           "1234,0\x03\r\n";
}

std::string PjlDevice(int code) {
    return "@PJL INFO STATUS\r\nCODE=" + std::to_string(code) +
           "\r\nDISPLAY=\"x\"\r\nONLINE=TRUE\r\n\f";
}

struct Case {
    const char* name;
    PrinterLanguage language;
    bool check;
    bool confirm;
    std::map<std::string, std::deque<std::string>> replies;
    const char* job;
    // What the printer was written, queries included, and how the job ended.
    std::string written;
    std::string outcome;
};

TEST(TalkingBackendTest, AsksAroundTheJobAndNeverInsideIt) {
    const std::string end = "@PJL USTATUS JOB\r\nEND\r\nNAME=\"T\"\r\nRESULT=OK\r\n\f";
    const std::string uel = "\x1b%-12345X";
    Case cases[] = {
        {"ready escpos",
         PrinterLanguage::EscPos,
         true,
         true,
         {{kEscPosQueries, {"\x16\x12\x12\x12", "\x16\x12\x12\x12"}}},
         "\x1b@hi",
         "[open]" + kEscPosQueries + "\x1b@hi" + kEscPosQueries + "[finish]",
         "sent, printer ready"},
        {"paper out refuses",
         PrinterLanguage::EscPos,
         true,
         false,
         {{kEscPosQueries, {std::string("\x16\x12\x12\x72", 4)}}},
         "job",
         "[open]" + kEscPosQueries + "[abort]",
         "the printer reports paper out, so nothing was sent"},
        {"zpl prints down",
         PrinterLanguage::Automatic,
         false,
         true,
         {{"~HS", {HostStatus(0, 1, 2), HostStatus(0, 0, 0)}}},
         "^XA^XZ",
         "[open]^XA^XZ~HS~HQES~HS~HQES[finish]",
         "printed"},
        {"zpl paper out while waiting",
         PrinterLanguage::Zpl,
         false,
         true,
         {{"~HS", {HostStatus(1, 1, 1)}}},
         "^XA^XZ",
         "[open]^XA^XZ~HS~HQES[abort]",
         "the printer reports paper out while the job waited to be printed"},
        {"pjl ends by name",
         PrinterLanguage::Pjl,
         false,
         true,
         {{kPjlQuery, {PjlDevice(10023), PjlDevice(10001) + end}}},
         "PCL",
         "[open]" + uel + "@PJL\r\n@PJL USTATUS JOB = ON\r\n@PJL JOB NAME = \"T\"\r\n" + uel +
             "PCL" + uel + "@PJL EOJ NAME = \"T\"\r\n" + uel + kPjlQuery + kPjlQuery + "[finish]",
         "printed"},
        {"silent",
         PrinterLanguage::Zpl,
         true,
         false,
         {},
         "^XA",
         "[open]~HS[abort]",
         "the printer did not answer the ZPL status query (~HS) within 0.3 s, so nothing was sent"},
        {"wrong language",
         PrinterLanguage::Pjl,
         true,
         false,
         {{kPjlQuery, {"\x16\x12"}}},
         "x",
         "[open]" + kPjlQuery + "[abort]",
         "the printer answered the PJL status query (INFO STATUS) with bytes that are no such "
         "reply: \"\\x16\\x12\", so nothing was sent"},
        {"unknown language",
         PrinterLanguage::Automatic,
         true,
         false,
         {},
         "plain",
         "[open][abort]",
         "the printer's language is not known"},
    };
    for (Case& c : cases) {
        std::string written;
        JobOptions options;
        options.title = "T";
        options.timeouts = Timeouts::All(300ms);
        options.talk.check = c.check;
        options.talk.confirm = c.confirm;
        TalkingBackend backend(std::make_unique<ScriptedPrinter>(c.replies, written), c.language,
                               options);
        const JobResult result = JobDriver(backend, JobControl{}).SendBytes(c.job);
        EXPECT_EQ(written, c.written) << c.name;
        const std::string outcome = result.Sent() ? result.confirmation : result.failure->what();
        EXPECT_EQ(outcome.rfind(c.outcome, 0), 0u) << c.name << ": " << outcome;
    }
}

// A job's first bytes name the language its printer is asked in; a UEL goes before PJL.
TEST(JobLanguageTest, OnlyLanguagesAPrinterCanBeAskedInAreTaken) {
    const std::pair<std::string, PrinterLanguage> cases[] = {
        {"\x1b%-12345X@PJL ENTER LANGUAGE=PCL\r\n\x1b"
         "E",
         PrinterLanguage::Pjl},
        {"\r\n^XA^FO10,10^FDx^FS^XZ", PrinterLanguage::Zpl},
        {"\x1b@Receipt\n\x1dV\x00", PrinterLanguage::EscPos},
        {"\x1b"
         "E\x1b&l1O",
         PrinterLanguage::Automatic},
        {"%!PS-Adobe-3.0\n", PrinterLanguage::Automatic},
        {"plain words\n", PrinterLanguage::Automatic},
    };
    for (const auto& [bytes, language] : cases) {
        EXPECT_EQ(JobLanguage::Of(bytes), language) << bytes;
    }
}

} // namespace
