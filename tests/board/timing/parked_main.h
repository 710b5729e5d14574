// Parks the main thread in a sleep loop in scratch RAM after boot_to("setup"),
// so that a test calls the firmware's functions one at a time while the
// interrupts keep running and the application's own setup never runs.
#pragma once

#include <cstdint>
#include <vector>

#include "src/board.h"

namespace timing_support {

constexpr std::uint32_t kParkingLoop = 0x20003800;  // below the stack, above the image's data

inline void park_main_thread(vboard::Board& board) {
    const std::vector<std::uint8_t> sleep_loop = {0x30, 0xBF, 0xFD, 0xE7};  // wfi; b wfi
    board.write_bytes(kParkingLoop, sleep_loop);
    board.cpu().invalidate_code(kParkingLoop, static_cast<std::uint32_t>(sleep_loop.size()));
    board.cpu().set_pc(kParkingLoop);
}

}  // namespace timing_support
