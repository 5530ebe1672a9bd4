// The two notation conversions on 64 MiB, against a plain copy of the same bytes.
#include "core/notation.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr std::size_t Size = 64u << 20;

// Printer data as it usually is: text lines between escape sequences, CR LF and form feeds.
const std::string& PrinterData() {
    static const std::string data = [] {
        const std::string page = "\x1B"
                                 "E\x1B&l1O\x1B(s0p12h10v0s0b3T"
                                 "Invoice 2026-12-07    Qty 3    Item 4711    EUR 19.99\r\n";
        std::string bytes;
        bytes.reserve(Size);
        while (bytes.size() + page.size() <= Size) {
            bytes += page;
        }
        bytes.resize(Size, '\f');
        return bytes;
    }();
    return data;
}

// The worst case: every byte value equally likely, one in eight needing a token.
const std::string& RandomData() {
    static const std::string data = [] {
        std::mt19937_64 random(42);
        std::string bytes(Size, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        return bytes;
    }();
    return data;
}

const std::string& PrinterNotation() {
    static const std::string notation = modTools::BytesToNotation(PrinterData());
    return notation;
}

void PlainCopy(benchmark::State& state, const std::string& input) {
    for (auto _ : state) {
        std::string copy(input.size(), '\0');
        std::memcpy(copy.data(), input.data(), input.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

template <std::string (*Convert)(std::string_view)>
void Conversion(benchmark::State& state, const std::string& input) {
    for (auto _ : state) {
        std::string result = Convert(input);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_CopyPrinterData(benchmark::State& s) {
    PlainCopy(s, PrinterData());
}
void BM_BytesToNotationPrinterData(benchmark::State& s) {
    Conversion<modTools::BytesToNotation>(s, PrinterData());
}
void BM_CopyPrinterNotation(benchmark::State& s) {
    PlainCopy(s, PrinterNotation());
}
void BM_NotationToBytesPrinterNotation(benchmark::State& s) {
    Conversion<modTools::NotationToBytes>(s, PrinterNotation());
}
void BM_CopyRandom(benchmark::State& s) {
    PlainCopy(s, RandomData());
}
void BM_BytesToNotationRandom(benchmark::State& s) {
    Conversion<modTools::BytesToNotation>(s, RandomData());
}
void BM_NotationToBytesRandom(benchmark::State& s) {
    Conversion<modTools::NotationToBytes>(s, RandomData());
}

BENCHMARK(BM_CopyPrinterData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytesToNotationPrinterData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPrinterNotation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotationToBytesPrinterNotation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytesToNotationRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotationToBytesRandom)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
