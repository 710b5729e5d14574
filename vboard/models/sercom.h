// SERCOM: one serial-communication module. The module is a USART, an SPI
// port or an I2C master or slave, chosen by CTRLA.MODE; each function is a
// model of its own (SercomUsart, SercomI2cMaster) behind this dispatcher,
// which owns the module's identity: address, interrupt line and clock.
#pragma once

#include <cstdint>
#include <memory>

#include "../src/peripheral.h"

namespace vboard {

class Sercom;

// What a SERCOM function model implements. Offsets are relative to the
// module's base; CTRLA writes reach the function selected by their MODE.
class SercomFunction {
  public:
    explicit SercomFunction(Sercom& module) : module_(module) {}
    virtual ~SercomFunction() = default;
    virtual std::uint32_t read(std::uint32_t offset, unsigned width) = 0;
    virtual void write(std::uint32_t offset, unsigned width, std::uint32_t value) = 0;
    // Software reset (CTRLA.SWRST) and power-on reset: every register to its reset value.
    virtual void reset() = 0;
    virtual SimTime next_event() const { return kNever; }
    virtual void advance(SimTime /*now*/) {}
    virtual void clocks_changed() {}
    virtual bool arm_fault(const struct FaultSpec& /*fault*/) { return false; }
    virtual void add_to_report(nlohmann::json& /*report*/) const {}

  protected:
    Sercom& module() const { return module_; }

  private:
    Sercom& module_;
};

class Sercom : public Peripheral {
  public:
    static constexpr unsigned kModules = 6;
    static constexpr std::uint32_t kBases[kModules] = {0x42000000, 0x42000400, 0x42000800,
                                                       0x42000C00, 0x42001000, 0x43000400};
    static constexpr unsigned kIrqLines[kModules] = {8, 9, 10, 11, 12, 13};
    static constexpr unsigned kCoreClockChannels[kModules] = {18, 19, 20, 21, 22, 24};
    static constexpr std::uint32_t kSize = 0x34;
    static constexpr std::uint32_t kCTRLA = 0x00;
    static constexpr std::uint32_t kModePos = 2, kModeMask = 0x7u << 2, kSwrst = 1u << 0,
                                   kEnable = 1u << 1;
    enum Mode : unsigned {
        kUsartExternalClock = 0,
        kUsartInternalClock = 1,
        kSpiSlave = 2,
        kSpiMaster = 3,
        kI2cSlave = 4,
        kI2cMaster = 5,
    };

    Sercom(Board& board, unsigned index);
    ~Sercom() override;

    unsigned index() const { return index_; }
    Mode mode() const { return mode_; }
    // The module's core clock (its generic clock channel), 0 when off.
    std::uint32_t core_clock_hz() const;
    // The function models, for tests and for the board's line ends.
    class SercomUsart& usart() const {
        return *usart_;
    }
    class SercomI2cMaster& i2c_master() const {
        return *i2c_master_;
    }

    // Interrupt line of the module, driven by the active function.
    void drive_irq(bool level);
    // Reach the board from a function model.
    Board& module_board() const { return board(); }
    SimTime module_now() const { return now(); }
    void module_reschedule() { reschedule(); }
    void module_note(Finding kind, std::uint32_t offset, const std::string& text) const {
        note(kind, offset, text);
    }

    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    void clocks_changed() override;
    bool arm_fault(const FaultSpec& fault) override;
    void add_to_report(nlohmann::json& report) const override;

  private:
    SercomFunction* active() const;
    unsigned index_;
    Mode mode_ = kUsartExternalClock;
    std::unique_ptr<class SercomUsart> usart_;
    std::unique_ptr<class SercomI2cMaster> i2c_master_;
};

}  // namespace vboard
