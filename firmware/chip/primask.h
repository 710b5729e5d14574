// PRIMASK: masking all configurable-priority interrupts, and the breakpoint instruction.
#pragma once

namespace chip {

// Sets PRIMASK: no interrupt is taken until unmaskInterrupts.
inline void maskInterrupts() {
    __asm__ volatile("cpsid i" ::: "memory");
}

// Clears PRIMASK.
inline void unmaskInterrupts() {
    __asm__ volatile("cpsie i" ::: "memory");
}

}  // namespace chip
