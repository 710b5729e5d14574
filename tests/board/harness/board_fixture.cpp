#include "board_fixture.h"

namespace testing_support {

std::string shipped_image() { return FIRMWARE_ELF; }
std::string full_image() { return FIRMWARE_FULL_ELF; }

vboard::BoardOptions test_options(const std::string& image) {
    vboard::BoardOptions options;
    options.firmware = image;
    options.quiet = true;
    return options;
}

void BoardTest::make_board(const vboard::BoardOptions& options) { board_ = std::make_unique<vboard::Board>(options); }

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
    ASSERT_EQ(r.reason, vboard::StopReason::Breakpoint) << "did not reach " << symbol << ": " << r.message;
}

void BoardTest::run_for(vboard::SimTime duration) {
    ensure_board();
    const vboard::RunResult r = board_->run_for(duration);
    ASSERT_EQ(r.reason, vboard::StopReason::TimeLimit) << r.message;
}

std::uint32_t BoardTest::call(const std::string& function, const std::vector<std::uint32_t>& args) {
    ensure_board();
    return board_->call(function, args);
}

}  // namespace testing_support
