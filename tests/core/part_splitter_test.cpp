// A file cut into its jobs, labels and print units: where the cuts fall, and that the
// parts put together are the file byte for byte, whatever the pieces it was read in.
#include "core/inspect/part_splitter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Uel = "\x1b%-12345X";

class PartCollector final : public SplitSink {
public:
    void Bytes(std::string_view bytes) override {
        if (parts.empty() || closed_) {
            parts.emplace_back();
            closed_ = false;
        }
        parts.back().append(bytes);
    }
    void Boundary() override { closed_ = true; }

    std::vector<std::string> parts;

private:
    bool closed_ = false;
};

std::string PjlJob(const std::string& name, const std::string& data) {
    return Uel + "@PJL JOB NAME=\"" + name + "\"\r\n@PJL ENTER LANGUAGE=PCL\r\n" + data + Uel +
           "@PJL EOJ\r\n" + Uel;
}

struct SplitCase {
    const char* label;
    std::vector<std::string> parts;
};

TEST(PartSplitterTest, PartsAreTheJobsAndPutTogetherAreTheFile) {
    const std::string label = "^XA^FO5,5^FDOne^FS^XZ\r\n";
    const std::vector<SplitCase> cases = {
        {"one PJL job",
         {PjlJob("a", "\x1b"
                      "EHello\f")}},
        {"three PJL jobs",
         {PjlJob("a", "\x1b"
                      "EOne\f"),
          PjlJob("b", "\x1b"
                      "ETwo\f" +
                          std::string(5000, 'x')),
          PjlJob("c", "\x1b"
                      "EThree\f")}},
        {"jobs closed by a UEL alone",
         {Uel +
              "@PJL ENTER LANGUAGE=PCL\r\n\x1b"
              "EOne\f" +
              Uel,
          Uel +
              "@PJL ENTER LANGUAGE=PCL\r\n\x1b"
              "ETwo\f" +
              Uel}},
        {"jobs without EOJ", {Uel + "%!PS\nshowpage\n", Uel + "%!PS\nshowpage\n"}},
        {"ZPL labels", {"~SD15\r\n" + label, label, "^XA^FDTwo^FS^XZ"}},
        {"CPCL print units",
         {"! 0 200 200 100 1\r\nTEXT 4 0 0 0 A\r\nPRINT\r\n", "! 0 200 200 100 1\r\nPRINT\r\n"}},
        {"TSPL print units",
         {"SIZE 60 mm,40 mm\r\nCLS\r\nTEXT 1,1,\"3\",0,1,1,\"A\"\r\nPRINT 1\r\n",
          "CLS\r\nTEXT 1,1,\"3\",0,1,1,\"B\"\r\nPRINT 2\r\n"}},
        {"ESC/POS stays whole", {"\x1b@Hello\n\x1dV0\x1b@Again\n\x1dV0"}},
        {"empty", {}},
    };
    for (const SplitCase& c : cases) {
        std::string file;
        for (const std::string& part : c.parts) {
            file += part;
        }
        for (std::size_t piece : {file.size() + 1, std::size_t{1}, std::size_t{13}}) {
            PartCollector collector;
            PartSplitter splitter(collector);
            for (std::size_t at = 0; at < file.size(); at += piece) {
                splitter.Feed(std::string_view(file).substr(at, piece));
            }
            splitter.End();
            EXPECT_EQ(collector.parts, c.parts) << c.label << " in pieces of " << piece;
        }
    }
}

} // namespace
