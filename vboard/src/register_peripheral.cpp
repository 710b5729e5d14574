#include "register_peripheral.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace vboard {

namespace {

std::uint32_t width_mask(unsigned width) { return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1; }

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

std::uint32_t RegisterPeripheral::on_read(const RegisterSpec&, std::uint32_t stored) { return stored; }

void RegisterPeripheral::on_write(const RegisterSpec& reg, std::uint32_t, std::uint32_t written) {
    set_value(reg.offset, written);
}

std::uint32_t RegisterPeripheral::read(std::uint32_t offset, unsigned width) {
    std::uint32_t result = 0;
    // An access may span several byte-wide registers (a 32-bit read of PMUX).
    for (unsigned done = 0; done < width;) {
        const int i = index_of(offset + done);
        if (i < 0) {
            note(Finding::UnclaimedAccess, offset + done, name() + ": read of unimplemented offset " + hex(offset + done));
            ++done;
            continue;
        }
        const RegisterSpec& reg = specs_[i];
        if (reg.access == Access::WriteOnly) {
            done += reg.width;
            continue;  // write-only registers read as zero
        }
        const std::uint32_t v = on_read(reg, values_[i]) & width_mask(reg.width);
        const unsigned shift_in_reg = 8 * (offset + done - reg.offset);
        const unsigned bytes = std::min(width - done, reg.width - (offset + done - reg.offset));
        result |= ((v >> shift_in_reg) & width_mask(bytes)) << (8 * done);
        done += bytes;
    }
    return result;
}

void RegisterPeripheral::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    for (unsigned done = 0; done < width;) {
        const int i = index_of(offset + done);
        if (i < 0) {
            note(Finding::UnclaimedAccess, offset + done, name() + ": write of unimplemented offset " + hex(offset + done));
            ++done;
            continue;
        }
        const RegisterSpec& reg = specs_[i];
        const unsigned shift_in_reg = 8 * (offset + done - reg.offset);
        const unsigned bytes = std::min(width - done, reg.width - (offset + done - reg.offset));
        const std::uint32_t part = (value >> (8 * done)) & width_mask(bytes);
        done += bytes;
        if (reg.access == Access::ReadOnly) {
            note(Finding::ReadOnlyWrite, reg.offset, name() + " " + reg.name + ": write of read-only register");
            continue;
        }
        const std::uint32_t old = values_[i];
        const std::uint32_t merged = (old & ~(width_mask(bytes) << shift_in_reg)) | (part << shift_in_reg);
        const std::uint32_t outside = (part << shift_in_reg) & ~reg.modelled & width_mask(reg.width);
        if (outside != 0 && !unmodelled_reported_[i]) {
            unmodelled_reported_[i] = true;
            note(Finding::UnmodelledField, reg.offset,
                 name() + " " + reg.name + ": bits " + hex(outside) + " written, not modelled");
        }
        on_write(reg, old, merged);
    }
}

}  // namespace vboard
