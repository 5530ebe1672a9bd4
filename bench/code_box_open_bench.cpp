// The code box with a whole 1 MiB code file in it: opening the file (read, notation, the
// box's text, first paint) and typing into the middle of its one long line. Runs on Qt's
// offscreen platform unless another one is asked for.
#include "core/notation.h"
#include "core/whole_file.h"
#include "ui/code_box/code_box.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t FileSize = 1u << 20;

// The code box of the main window, and a large one.
const QSize MainWindowBox(377, 81);
const QSize LargeBox(1200, 800);

// Printer data as it usually is: text between escape sequences, CR LF and form feeds.
// Every CR and LF becomes a token, so the notation is one line.
std::string PrinterData() {
    const std::string page = "\x1B"
                             "E\x1B&l1O\x1B(s0p12h10v0s0b3T"
                             "Invoice 2026-12-07    Qty 3    Item 4711    EUR 19.99\r\n";
    std::string bytes;
    while (bytes.size() + page.size() <= FileSize) {
        bytes += page;
    }
    bytes.resize(FileSize, '\f');
    return bytes;
}

// Every byte value equally likely: hardly a space to break a row at.
std::string RandomData() {
    std::mt19937_64 random(42);
    std::string bytes(FileSize, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

class BenchFile {
public:
    BenchFile(const std::string& name, const std::string& bytes)
        : path_(std::filesystem::temp_directory_path() /
                ("tolvenmark-bench-" + std::to_string(getpid()) + "-" + name)) {
        std::ofstream(path_, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~BenchFile() { std::filesystem::remove(path_); }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;

    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

void Open(CodeBox& box, const std::string& path) {
    box.SetBytes(modTools::BytesToNotation(modTools::ReadWholeFile(path)));
}

// From the file on disk to the text painted in the box.
void OpenFile(benchmark::State& state, const std::string& path, QSize size) {
    CodeBox box;
    box.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        box.SetText({});
        state.ResumeTiming();
        Open(box, path);
        box.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["characters"] = static_cast<double>(box.Text().size());
}

// One character typed into the middle of the line, and the box painted again.
void TypeInTheMiddle(benchmark::State& state, const std::string& path, QSize size) {
    CodeBox box;
    box.resize(size);
    Open(box, path);
    box.SetSelection(box.Text().size() / 2, 0);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    box.render(&image);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&box, &press);
        box.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

// Ctrl+End after an edit at the start: every row of the text is found again.
void JumpToTheEnd(benchmark::State& state, const std::string& path, QSize size) {
    CodeBox box;
    box.resize(size);
    Open(box, path);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        box.SetSelection(0, 0);
        QKeyEvent type(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&box, &type);
        state.ResumeTiming();
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(&box, &end);
        box.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);

    const BenchFile printer("printer.prn", PrinterData());
    const BenchFile random("random.prn", RandomData());
    for (const auto& [name, file] :
         {std::pair{"printer data", &printer}, {"random bytes", &random}}) {
        const std::string path = file->Path();
        for (const auto& [boxName, size] :
             {std::pair{"main window box", MainWindowBox}, {"large box", LargeBox}}) {
            const std::string suffix = std::string("/") + name + "/" + boxName;
            benchmark::RegisterBenchmark(("open 1 MiB" + suffix).c_str(), OpenFile, path, size)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("keystroke" + suffix).c_str(), TypeInTheMiddle, path,
                                         size)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("wrap all, Ctrl+End" + suffix).c_str(), JumpToTheEnd,
                                         path, size)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
