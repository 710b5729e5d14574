// Test fixtures that run the real firmware image on the virtual board.
//
//   class MyTest : public BoardTest {};
//   TEST_F(MyTest, Something) {
//       boot_to("setup");                         // run from reset to a symbol
//       board().call("pinMode", {6, 1});          // call a firmware function
//       EXPECT_TRUE(board().model<vboard::Port>().pin(16).output);
//   }
//
// The shipped image is used by default; FullImageTest uses the companion
// image linked from the same objects without section garbage collection, for
// functions the shipped image drops.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "src/board.h"

namespace testing_support {

std::string shipped_image();
std::string full_image();

// Default options for tests: quiet (findings are checked, not printed).
vboard::BoardOptions test_options(const std::string& image = shipped_image());

class BoardTest : public ::testing::Test {
  protected:
    // The board, built with test_options(image()) on first use.
    vboard::Board& board();
    // Builds the board with `options` (called lazily with test_options()).
    void make_board(const vboard::BoardOptions& options);
    void SetUp() override {}
    // Runs until the processor reaches `symbol`; fails the test otherwise.
    void boot_to(const std::string& symbol, vboard::SimTime limit = 5 * vboard::kSecond);
    void run_for(vboard::SimTime duration);
    std::uint32_t call(const std::string& function, const std::vector<std::uint32_t>& args = {});

    // After boot_to("setup"): parks the main thread in a sleep loop in scratch
    // RAM, so that the application's own setup and loop never run while the
    // test drives the board; interrupts keep running and the test's calls are
    // the only firmware code on the main thread.
    void park_main_thread();

    std::uint32_t address_of(const std::string& symbol) { return board().symbol(symbol); }
    std::uint32_t read32(const std::string& symbol) { return board().read32(address_of(symbol)); }
    std::uint8_t read8(const std::string& symbol) { return board().read8(address_of(symbol)); }

    // The image this fixture loads when no board was made explicitly.
    virtual std::string image() const { return shipped_image(); }

  private:
    void ensure_board();
    std::unique_ptr<vboard::Board> board_;
    friend class BoardAccess;
};

class FullImageTest : public BoardTest {
  protected:
    std::string image() const override { return full_image(); }
};

}  // namespace testing_support

using testing_support::BoardTest;
using testing_support::FullImageTest;
