#include "peripheral.h"

#include "board.h"

namespace vboard {

Peripheral::Peripheral(Board& board, std::string name, std::uint32_t base, std::uint32_t size)
    : board_(board), name_(std::move(name)), base_(base), size_(size) {}

SimTime Peripheral::now() const {
    return board_.now();
}

void Peripheral::reschedule() {
    board_.reschedule();
}

void Peripheral::note(Finding kind, std::uint32_t offset, const std::string& text) const {
    board_.diagnostics().note(kind, base_ + offset, board_.pc(), text);
}

void Peripheral::set_irq(unsigned line, bool level) {
    board_.set_irq(line, level);
}

}  // namespace vboard
