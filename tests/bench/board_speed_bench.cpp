// How fast the virtual board runs the firmware: simulated seconds per wall
// second, and the work from reset to the application.
#include <benchmark/benchmark.h>

#include "src/board.h"

namespace {

vboard::BoardOptions options() {
    vboard::BoardOptions o;
    o.firmware = FIRMWARE_ELF;
    o.quiet = true;
    return o;
}

// One simulated second of the image as it runs after start-up.
void BM_SimulatedSecond(benchmark::State& state) {
    vboard::Board board(options());
    board.run_until("loop");
    for (auto _ : state) board.run_for(vboard::kSecond);
    state.counters["sim_s_per_wall_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["instructions_per_sim_s"] =
        static_cast<double>(board.instructions()) / vboard::to_seconds(board.now());
}
BENCHMARK(BM_SimulatedSecond)->Unit(benchmark::kMillisecond);

// From reset to the entry of setup.
void BM_ResetToSetup(benchmark::State& state) {
    std::uint64_t instructions = 0;
    double simulated_ms = 0;
    for (auto _ : state) {
        vboard::Board board(options());
        board.run_until("setup");
        instructions = board.instructions();
        simulated_ms = vboard::to_seconds(board.now()) * 1e3;
    }
    state.counters["instructions"] = static_cast<double>(instructions);
    state.counters["simulated_ms"] = simulated_ms;
}
BENCHMARK(BM_ResetToSetup)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
