// Serial1 kept busy by a long burst: the line rate in simulated time (bytes
// per simulated second, 11 764.7 for 117 647 baud 8N1) and the board's speed
// (simulated seconds per wall second) while the line is busy.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <vector>

#include "models/sercom.h"
#include "models/sercom_usart.h"
#include "src/board.h"

namespace {

constexpr std::uint32_t kBurstBytes = 4096;
constexpr std::uint32_t kScratchGap = 64;

vboard::SercomUsart& serial1_usart(vboard::Board& board) {
    for (const auto& m : board.models())
        if (auto* s = dynamic_cast<vboard::Sercom*>(m.get()); s && s->index() == 1)
            return s->usart();
    throw std::logic_error("no SERCOM1");
}

// Each iteration writes 4096 bytes to Serial1; write waits for room, so the
// call lasts until all but the last 513 have left.
void BM_LineBusy(benchmark::State& state) {
    vboard::BoardOptions options;
    options.firmware = FIRMWARE_FULL_ELF;
    options.quiet = true;
    vboard::Board board(options);
    board.run_until("setup");
    const std::uint32_t serial1 = board.symbol("Serial1");
    board.call("Uart::begin(unsigned long)", {serial1, 115200});
    const std::uint32_t buffer = (board.symbol("__bss_end__") + kScratchGap) & ~15u;
    std::vector<std::uint8_t> bytes(kBurstBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    board.write_bytes(buffer, bytes);

    const vboard::SimTime start = board.now();
    for (auto _ : state)
        board.call("Print::write(unsigned char const*, unsigned int)",
                   {serial1, buffer, kBurstBytes}, 2 * vboard::kSecond);
    const double simulated = vboard::to_seconds(board.now() - start);

    const auto& log = serial1_usart(board).transmitted();
    const double span = vboard::to_seconds(log.back().start - log.front().start);
    state.counters["line_bytes_per_sim_s"] = static_cast<double>(log.size() - 1) / span;
    state.counters["sim_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(log.size());
}
BENCHMARK(BM_LineBusy)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
