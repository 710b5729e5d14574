#include "bus.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "board.h"

namespace vboard {

const std::vector<IoWindow>& Bus::io_windows() {
    // Peripheral bridges A..E, the single-cycle I/O port and the core's
    // system control space.
    static const std::vector<IoWindow> windows = {
        {0x40000000, 0x4000}, {0x41000000, 0x8000}, {0x42000000, 0x4000}, {0x43000000, 0x2000},
        {0x44000000, 0x800},  {0x60000000, 0x400},  {0xE000E000, 0x1000},
    };
    return windows;
}

void Bus::attach(Peripheral& model) {
    attach_alias(model, model.base());
}

void Bus::attach_alias(Peripheral& model, std::uint32_t alias_base) {
    for (const Route& r : routes_) {
        if (alias_base < r.base + r.size && r.base < alias_base + model.size())
            throw std::logic_error(model.name() + " overlaps " + r.model->name());
    }
    last_ = nullptr;
    routes_.push_back({alias_base, model.size(), &model});
    std::sort(routes_.begin(), routes_.end(),
              [](const Route& a, const Route& b) { return a.base < b.base; });
}

Peripheral* Bus::find(std::uint32_t address, std::uint32_t* offset) const {
    if (last_ && address - last_->base < last_->size) {
        if (offset) *offset = address - last_->base;
        return last_->model;
    }
    auto it = std::upper_bound(routes_.begin(), routes_.end(), address,
                               [](std::uint32_t a, const Route& r) { return a < r.base; });
    if (it == routes_.begin()) return nullptr;
    --it;
    if (address - it->base >= it->size) return nullptr;
    if (offset) *offset = address - it->base;
    last_ = &*it;
    return it->model;
}

std::uint32_t Bus::read(std::uint32_t address, unsigned width) {
    std::uint32_t offset = 0;
    if (Peripheral* model = find(address, &offset)) return model->read(offset, width);
    char text[80];
    std::snprintf(text, sizeof text, "read of 0x%08x (%u bytes): no peripheral there", address,
                  width);
    board_.diagnostics().note(Finding::UnclaimedAccess, address, board_.pc(), text);
    return 0;
}

void Bus::write(std::uint32_t address, unsigned width, std::uint32_t value) {
    std::uint32_t offset = 0;
    if (Peripheral* model = find(address, &offset)) return model->write(offset, width, value);
    char text[96];
    std::snprintf(text, sizeof text, "write of 0x%x to 0x%08x (%u bytes): no peripheral there",
                  value, address, width);
    board_.diagnostics().note(Finding::UnclaimedAccess, address, board_.pc(), text);
}

}  // namespace vboard
