// A peripheral described by a table of registers, the way a data sheet lists
// them: name, offset, width, reset value, access, and the bits the model
// implements. The base class does the bus work (sub-word accesses, read-only
// and unclaimed reports, unmodelled fields); a model only says what a read or
// a write of a register does.
#pragma once

#include <cstdint>
#include <vector>

#include "peripheral.h"

namespace vboard {

enum class Access { ReadWrite, ReadOnly, WriteOnly };

struct RegisterSpec {
    const char* name;
    std::uint32_t offset;
    unsigned width;  // bytes
    std::uint32_t reset;
    Access access;
    // Bits whose function the model implements; writing a 1 into another bit
    // is reported as an unmodelled field.
    std::uint32_t modelled;
};

class RegisterPeripheral : public Peripheral {
  public:
    RegisterPeripheral(Board& board, std::string name, std::uint32_t base, std::uint32_t size,
                       std::vector<RegisterSpec> registers);

    std::uint32_t read(std::uint32_t offset, unsigned width) final;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) final;
    void reset() override;

    // Stored value of a register, by its offset (for models and tests).
    std::uint32_t value(std::uint32_t offset) const;
    void set_value(std::uint32_t offset, std::uint32_t value);

  protected:
    // Value the firmware reads; the default is the stored value.
    virtual std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored);
    // A write of the whole register value `written` (sub-word writes are
    // merged with the stored value first). The default stores it.
    virtual void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written);

  private:
    int index_of(std::uint32_t offset) const;  // register holding this byte, or -1
    const RegisterSpec* locate(std::uint32_t offset) const;
    std::vector<RegisterSpec> specs_;
    std::vector<std::uint32_t> values_;
    std::vector<bool> unmodelled_reported_;
    std::vector<std::int16_t> index_by_offset_;  // register holding each byte of the window, or -1
};

}  // namespace vboard
