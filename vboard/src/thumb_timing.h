// Instruction and cycle counts of a block of Thumb code, from the Cortex-M0+
// cycle table: most data-processing instructions 1 cycle, loads and stores 2,
// LDM/STM/PUSH/POP 1 + registers (POP with PC 3 + registers), B and BX 2,
// BL and the 32-bit system instructions 3. A conditional branch is counted as
// taken (2): the block ends there, and loops dominate. Wait states are not
// modelled (the flash runs with 2 wait states here, but the M0+'s prefetch
// hides most of them in straight code).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vboard {

struct BlockCost {
    std::uint32_t instructions;
    std::uint32_t cycles;
};

// `code` holds `bytes` bytes of Thumb code (little-endian halfwords).
BlockCost thumb_block_cost(const std::uint8_t* code, std::size_t bytes);

}  // namespace vboard
