// The peripheral bus: routes every access in the memory-mapped I/O windows to
// the model that owns the address, and reports accesses that no model
// claims (they read as zero and writes are dropped).
#pragma once

#include <cstdint>
#include <vector>

#include "peripheral.h"

namespace vboard {

class Board;

struct IoWindow {
    std::uint32_t base;
    std::uint32_t size;
};

class Bus {
  public:
    explicit Bus(Board& board) : board_(board) {}

    void attach(Peripheral& model);
    // Another address for the same model (PORT's single-cycle I/O alias).
    void attach_alias(Peripheral& model, std::uint32_t alias_base);
    Peripheral* find(std::uint32_t address, std::uint32_t* offset = nullptr) const;

    std::uint32_t read(std::uint32_t address, unsigned width);
    void write(std::uint32_t address, unsigned width, std::uint32_t value);

    // Windows the CPU maps as I/O: every bridge of the chip, so that stray
    // accesses are reported rather than faulting.
    static const std::vector<IoWindow>& io_windows();

  private:
    struct Route {
        std::uint32_t base;
        std::uint32_t size;
        Peripheral* model;
    };
    Board& board_;
    std::vector<Route> routes_;            // sorted by base
    mutable const Route* last_ = nullptr;  // firmware polls one register at a time
};

}  // namespace vboard
