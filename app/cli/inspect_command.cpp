#include "app/cli/inspect_command.h"

#include "app/cli/cli_arguments.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/inspect/command_sink.h"
#include "core/inspect/decoded_command.h"
#include "core/inspect/inspection.h"
#include "core/inspect/inspection_summary.h"
#include "core/inspect/part_splitter.h"
#include "core/json_writer.h"
#include "core/safe_text.h"
#include "core/stream_reader.h"
#include "core/whole_file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace {

constexpr const char* ProgramName = "tolvenmark-cli";
constexpr const char* StandardInputName = "standard input";
// How much is read at a time.
constexpr std::size_t PieceSize = 64 * 1024;
std::string Shown(std::string_view text) {
    return SafeText(text, 4096);
}

using InspectionSummary::Tokens;

void JsonCommand(JsonWriter& json, const DecodedCommand& command) {
    json.BeginObject()
        .Key("offset")
        .Number(static_cast<long long>(command.offset))
        .Key("length")
        .Number(static_cast<long long>(command.length))
        .Key("language")
        .String(LanguageName(command.language))
        .Key("name")
        .String(command.name)
        .Key("tokens")
        .String(Tokens(command))
        .Key("meaning")
        .String(command.meaning)
        .Key("problem")
        .String(command.problem)
        .EndObject();
}

// Every command as it comes, one a line, or as the members of a JSON array.
class CommandLines final : public CommandSink {
public:
    CommandLines(std::ostream& out, bool json) : out_(out), json_(json) {}

    void Command(const DecodedCommand& command) override {
        if (json_) {
            const bool first = !opened_;
            Open();
            JsonWriter json;
            JsonCommand(json, command);
            out_ << (first ? "" : ",") << json.Text();
            return;
        }
        out_ << command.offset << '\t' << Tokens(command) << '\t' << Shown(command.meaning);
        if (!command.problem.empty()) {
            out_ << "\tproblem: " << Shown(command.problem);
        }
        out_ << '\n';
    }

    // The JSON object's start, written with the first command or before the summary, so
    // that a file that can't be read leaves nothing half-written on standard output.
    void Open() {
        if (json_ && !opened_) {
            out_ << "{\"commands\":[";
            opened_ = true;
        }
    }

private:
    std::ostream& out_;
    bool json_;
    bool opened_ = false;
};

// Each part as DIR/part-NNNNNN.prn, in order.
class PartFiles final : public SplitSink {
public:
    explicit PartFiles(std::string dir) : dir_(std::move(dir)) {
        std::error_code error;
        std::filesystem::create_directories(modTools::FileSystemPath(dir_), error);
        if (error) {
            throw FileError(dir_, "create", error.message());
        }
    }

    void Bytes(std::string_view bytes) override {
        if (!file_.is_open()) {
            Open();
        }
        file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file_) {
            throw FileError::FromErrno(path_, "write", errno);
        }
    }

    void Boundary() override { Close(); }

    void Close() {
        if (file_.is_open()) {
            file_.close();
            if (!file_) {
                throw FileError::FromErrno(path_, "write", errno);
            }
        }
    }

    std::uint64_t Count() const { return count_; }

private:
    void Open() {
        std::array<char, 32> name{};
        std::snprintf(name.data(), name.size(), "part-%06llu.prn",
                      static_cast<unsigned long long>(++count_));
        // UTF-8 joined as UTF-8; FileSystemPath widens it on Windows.
        path_ = dir_ + (dir_.back() == '/' || dir_.back() == '\\' ? "" : "/") + name.data();
        file_.open(modTools::FileSystemPath(path_), std::ios::binary | std::ios::trunc);
        if (!file_) {
            throw FileError::FromErrno(path_, "create", errno);
        }
    }

    std::string dir_;
    std::string path_;
    std::ofstream file_;
    std::uint64_t count_ = 0;
};

} // namespace

InspectCommand::InspectCommand(std::istream& in, std::ostream& out, std::ostream& err)
    : in_(in), out_(out), err_(err) {}

int InspectCommand::Run(const CliArguments::Request& request) {
    json_ = request.json;
    const bool fromInput = request.operands.empty() || request.operands.front() == "-";
    const std::string name = fromInput ? StandardInputName : request.operands.front();
    CommandLines lines(out_, json_);
    Inspection inspection(request.inspect.commands ? &lines : nullptr);
    try {
        if (fromInput) {
            StreamReader source(in_, StandardInputName);
            Inspect(source, inspection, request.inspect.splitDir.value_or(""));
        } else {
            FileReader source(name);
            Inspect(source, inspection, request.inspect.splitDir.value_or(""));
        }
    } catch (const FileError& error) {
        out_.flush();
        err_ << ProgramName << ": " << Shown(error.what()) << '\n';
        return 1;
    }
    if (json_) {
        lines.Open();
        WriteJsonSummary(name, inspection);
    } else {
        WriteSummary(name, inspection);
    }
    out_.flush();
    return inspection.Malformed() || !out_ ? 1 : 0;
}

void InspectCommand::Inspect(ByteSource& source, Inspection& inspection,
                             const std::string& splitDir) {
    std::unique_ptr<PartFiles> files;
    std::unique_ptr<PartSplitter> splitter;
    if (!splitDir.empty()) {
        files = std::make_unique<PartFiles>(splitDir);
        splitter = std::make_unique<PartSplitter>(*files);
    }
    std::vector<char> buffer(PieceSize);
    while (const std::size_t count = source.Read(buffer.data(), buffer.size())) {
        const std::string_view piece(buffer.data(), count);
        inspection.Feed(piece);
        if (splitter != nullptr) {
            splitter->Feed(piece);
        }
    }
    inspection.End();
    if (splitter != nullptr) {
        splitter->End();
        files->Close();
        err_ << ProgramName << ": " << files->Count() << " part(s) written to " << Shown(splitDir)
             << '\n';
    }
}

void InspectCommand::WriteSummary(const std::string& name, const Inspection& inspection) {
    out_ << InspectionSummary::Text(name, inspection);
}

void InspectCommand::WriteJsonSummary(const std::string& name, const Inspection& inspection) {
    JsonWriter json;
    json.BeginObject().Key("file").String(name).Key("size").Number(
        static_cast<long long>(inspection.Size()));
    json.Key("parts").BeginArray();
    for (const Inspection::Part& part : inspection.Parts()) {
        json.BeginObject()
            .Key("offset")
            .Number(static_cast<long long>(part.offset))
            .Key("length")
            .Number(static_cast<long long>(part.length))
            .Key("language")
            .String(LanguageName(part.language))
            .EndObject();
    }
    json.EndArray();
    const DocumentCounts& counts = inspection.Counts();
    json.Key("partCount").Number(static_cast<long long>(inspection.PartCount()));
    json.Key("labels").Number(static_cast<long long>(counts.labels));
    json.Key("pages").Number(static_cast<long long>(counts.pages));
    json.Key("jobs").Number(static_cast<long long>(inspection.Jobs()));
    json.Key("images").Number(static_cast<long long>(counts.images));
    json.Key("imageBytes").Number(static_cast<long long>(counts.imageBytes));
    json.Key("commandCount").Number(static_cast<long long>(counts.commands));
    json.Key("problemCount").Number(static_cast<long long>(counts.problems));
    json.Key("codePages").BeginArray();
    for (const DocumentCounts::CodePageUse& use : counts.codePages) {
        json.BeginObject()
            .Key("offset")
            .Number(static_cast<long long>(use.offset))
            .Key("name")
            .String(use.name)
            .EndObject();
    }
    json.EndArray();
    json.Key("problems").BeginArray();
    for (const DecodedCommand& problem : inspection.Problems()) {
        JsonCommand(json, problem);
    }
    json.EndArray().Key("malformed").Bool(inspection.Malformed()).EndObject();
    // The object's members follow the commands array written as they came.
    out_ << "]," << json.Text().substr(1) << '\n';
}
