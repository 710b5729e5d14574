#include "register_peripheral.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "register_access.h"

namespace vboard {

namespace {

std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", v);
    return text;
}

}  // namespace

RegisterPeripheral::RegisterPeripheral(Board& board, std::string name, std::uint32_t base,
                                       std::uint32_t size, std::vector<RegisterSpec> registers)
    : Peripheral(board, std::move(name), base, size),
      specs_(std::move(registers)),
      values_(specs_.size()),
      unmodelled_reported_(specs_.size()) {
    for (std::size_t i = 0; i < specs_.size(); ++i) values_[i] = specs_[i].reset;
    std::uint32_t end = 0;
    for (const RegisterSpec& r : specs_) end = std::max(end, r.offset + r.width);
    index_by_offset_.assign(end, -1);
    for (std::size_t i = 0; i < specs_.size(); ++i)
        for (unsigned b = 0; b < specs_[i].width; ++b)
            index_by_offset_[specs_[i].offset + b] = static_cast<std::int16_t>(i);
}

int RegisterPeripheral::index_of(std::uint32_t offset) const {
    return offset < index_by_offset_.size() ? index_by_offset_[offset] : -1;
}

const RegisterSpec* RegisterPeripheral::locate(std::uint32_t offset) const {
    const int i = index_of(offset);
    return i < 0 ? nullptr : &specs_[static_cast<std::size_t>(i)];
}

std::uint32_t RegisterPeripheral::value(std::uint32_t offset) const {
    const int i = index_of(offset);
    if (i < 0) throw std::out_of_range(name() + ": no register at offset " + hex(offset));
    return values_[i];
}

void RegisterPeripheral::set_value(std::uint32_t offset, std::uint32_t v) {
    const int i = index_of(offset);
    if (i < 0) throw std::out_of_range(name() + ": no register at offset " + hex(offset));
    values_[i] = v & width_mask(specs_[i].width);
}

void RegisterPeripheral::reset() {
    for (std::size_t i = 0; i < specs_.size(); ++i) values_[i] = specs_[i].reset;
}

std::uint32_t RegisterPeripheral::on_read(const RegisterSpec&, std::uint32_t stored) {
    return stored;
}

void RegisterPeripheral::on_write(const RegisterSpec& reg, std::uint32_t, std::uint32_t written) {
    set_value(reg.offset, written);
}

std::uint32_t RegisterPeripheral::read(std::uint32_t offset, unsigned width) {
    std::uint32_t result = 0;
    split_access(
        offset, width, [this](std::uint32_t at) { return locate(at); },
        [&](const RegisterSpec& reg, const AccessPart& part) {
            if (reg.access == Access::WriteOnly) return;  // write-only registers read as zero
            result |=
                part.place(on_read(reg, values_[&reg - specs_.data()]) & width_mask(reg.width));
        },
        [&](std::uint32_t at) {
            note(Finding::UnclaimedAccess, at,
                 name() + ": read of unimplemented offset " + hex(at));
        });
    return result;
}

void RegisterPeripheral::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    split_access(
        offset, width, [this](std::uint32_t at) { return locate(at); },
        [&](const RegisterSpec& reg, const AccessPart& part) {
            const std::size_t i = static_cast<std::size_t>(&reg - specs_.data());
            if (reg.access == Access::ReadOnly) {
                note(Finding::ReadOnlyWrite, reg.offset,
                     name() + " " + reg.name + ": write of read-only register");
                return;
            }
            const std::uint32_t old = values_[i];
            const std::uint32_t bits = part.bits_of(value);
            const std::uint32_t outside = bits & ~reg.modelled & width_mask(reg.width);
            if (outside != 0 && !unmodelled_reported_[i]) {
                unmodelled_reported_[i] = true;
                note(Finding::UnmodelledField, reg.offset,
                     name() + " " + reg.name + ": bits " + hex(outside) + " written, not modelled");
            }
            on_write(reg, old, (old & ~part.mask()) | bits);
        },
        [&](std::uint32_t at) {
            note(Finding::UnclaimedAccess, at,
                 name() + ": write of unimplemented offset " + hex(at));
        });
}

}  // namespace vboard
