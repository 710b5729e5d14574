// Decoder throughput on a large capture file. The file is CAPTURE_FILE when that is set,
// otherwise a synthetic capture of about an hour and a half written to the temporary directory.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "decoder.hpp"

namespace {

using capture::AxisCounts;

constexpr std::size_t kSyntheticFrames = 3'000'000;
constexpr std::size_t kResetEvery = 500'000;
constexpr std::size_t kGarbageEvery = 50'000;
constexpr std::size_t kPayloadHeaderEvery = 7;  // X -1 next to Y about -1 g
constexpr std::uint32_t kSeed = 2024;
constexpr std::int16_t kOneG = 256;
constexpr double kReadLatencyMs = 0.3;

class Synth {
  public:
    void banner() {
        const std::string stars(60, '*');
        const std::string b =
            stars + "\r\n\t\tSensor de impactos\r\n\tHw 1\tFw 1.0 - pruebas\r\n" + stars + "\r\n";
        data.insert(data.end(), b.begin(), b.end());
        tick_ms_ = 37.0;
        last_ms_ = 0;
    }
    void frame(AxisCounts c) {
        const auto now = static_cast<std::uint64_t>(std::floor(tick_ms_ + kReadLatencyMs));
        tick_ms_ += capture::kTickPeriodMs;
        data.insert(data.end(), {0xFF, 0xFF, 0xFF, static_cast<std::uint8_t>(now - last_ms_)});
        last_ms_ = now;
        for (std::int16_t v : c) {
            const auto u = static_cast<std::uint16_t>(v);
            data.push_back(static_cast<std::uint8_t>(u >> 8));
            data.push_back(static_cast<std::uint8_t>(u & 0xFF));
        }
    }
    std::vector<std::uint8_t> data;

  private:
    double tick_ms_ = 0.0;
    std::uint64_t last_ms_ = 0;
};

std::vector<std::uint8_t> synthetic_capture() {
    Synth s;
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<int> noise(-4, 4);
    s.banner();
    for (std::size_t k = 0; k < kSyntheticFrames; ++k) {
        if (k > 0 && k % kResetEvery == 0) {
            s.data.insert(s.data.end(), {0xFF, 0xFF, 0xFF, 0x02, 0x00});  // cut by the reset
            s.banner();
        }
        if (k > 0 && k % kGarbageEvery == 0) {
            for (int g = 0; g < 23; ++g) s.data.push_back(static_cast<std::uint8_t>(rng()));
        }
        if (k % kPayloadHeaderEvery == 0) {
            s.frame({-1, static_cast<std::int16_t>(-kOneG + 1), kOneG});
        } else {
            s.frame({static_cast<std::int16_t>(noise(rng)), static_cast<std::int16_t>(noise(rng)),
                     static_cast<std::int16_t>(kOneG + noise(rng))});
        }
    }
    return s.data;
}

const std::vector<std::uint8_t>& capture_bytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::string path;
        if (const char* f = std::getenv("CAPTURE_FILE")) {
            path = f;
        } else {
            const char* tmp = std::getenv("TMPDIR");
            path = std::string(tmp && *tmp ? tmp : "/tmp") + "/impact-capture-bench.cap";
            const std::vector<std::uint8_t> d = synthetic_capture();
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(d.data()),
                       static_cast<std::streamsize>(d.size()));
        }
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> d((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
        std::fprintf(stderr, "capture %s: %zu bytes\n", path.c_str(), d.size());
        return d;
    }();
    return bytes;
}

class CountingSink : public capture::DecoderSink {
  public:
    void on_sample(const capture::Sample& s) override { checksum += s.counts[2]; }
    std::int64_t checksum = 0;
};

void BM_DecodeCapture(benchmark::State& state) {
    const std::vector<std::uint8_t>& d = capture_bytes();
    const auto chunk = static_cast<std::size_t>(state.range(0));
    std::uint64_t frames = 0;
    for (auto _ : state) {
        CountingSink sink;
        capture::Decoder decoder(sink, {2.0, std::nullopt, std::nullopt});
        for (std::size_t at = 0; at < d.size(); at += chunk) {
            decoder.feed(d.data() + at, std::min(chunk, d.size() - at), 0.0);
        }
        decoder.finish();
        frames = decoder.stats().frames();
        benchmark::DoNotOptimize(sink.checksum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["frames_per_s"] = benchmark::Counter(
        static_cast<double>(frames * state.iterations()), benchmark::Counter::kIsRate);
}
// 64 KiB reads as from a file; 64 bytes as a USB serial adapter delivers them.
BENCHMARK(BM_DecodeCapture)->Arg(1 << 16)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
