#include "board_fixture.h"

namespace testing_support {

std::string shipped_image() {
    return FIRMWARE_ELF;
}
std::string full_image() {
    return FIRMWARE_FULL_ELF;
}

vboard::BoardOptions test_options(const std::string& image) {
    vboard::BoardOptions options;
    options.firmware = image;
    options.quiet = true;
    return options;
}

void BoardTest::make_board(const vboard::BoardOptions& options) {
    board_ = std::make_unique<vboard::Board>(options);
}

vboard::Board& BoardTest::board() {
    ensure_board();
    return *board_;
}

void BoardTest::ensure_board() {
    if (!board_) make_board(test_options(image()));
}

void BoardTest::boot_to(const std::string& symbol, vboard::SimTime limit) {
    ensure_board();
    const vboard::RunResult r = board_->run_until(symbol, limit);
    ASSERT_EQ(r.reason, vboard::StopReason::Breakpoint)
        << "did not reach " << symbol << ": " << r.message;
}

void BoardTest::run_for(vboard::SimTime duration) {
    ensure_board();
    const vboard::RunResult r = board_->run_for(duration);
    ASSERT_EQ(r.reason, vboard::StopReason::TimeLimit) << r.message;
}

void BoardTest::park_main_thread() {
    // Below the stack, and below the snippets of the fault tests.
    constexpr std::uint32_t kParkingLoop = 0x200037F0;
    const std::vector<std::uint8_t> sleep_loop = {0x30, 0xBF, 0xFD, 0xE7};  // wfi; b wfi
    ensure_board();
    board_->write_bytes(kParkingLoop, sleep_loop);
    board_->cpu().invalidate_code(kParkingLoop, static_cast<std::uint32_t>(sleep_loop.size()));
    board_->cpu().set_pc(kParkingLoop);
}

std::uint32_t BoardTest::call(const std::string& function, const std::vector<std::uint32_t>& args) {
    ensure_board();
    return board_->call(function, args);
}

}  // namespace testing_support
