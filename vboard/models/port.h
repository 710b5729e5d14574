// PORT: the I/O pin controller, group A (the only group of the 32-pin part).
//
// Registers as the data sheet lists them (DIR, OUT with their CLR/SET/TGL
// companions, IN, CTRL, WRCONFIG, PMUX, PINCFG), reachable at the bus
// address and at the single-cycle I/O alias. Besides the registers, a
// per-pin view for tests: direction, driven level, pull, multiplexer, and a
// log of level changes on output pins.
#pragma once

#include <array>
#include <vector>

#include "../src/register_peripheral.h"

namespace vboard {

enum class Pull { None, Up, Down };

struct PinView {
    bool output;         // DIR
    bool out;            // OUT bit
    bool input_enabled;  // PINCFG.INEN
    Pull pull;           // PINCFG.PULLEN with OUT choosing the direction (input only)
    bool strong_drive;   // PINCFG.DRVSTR
    bool muxed;          // PINCFG.PMUXEN
    unsigned function;   // PMUX nibble: 0 = A ... 8 = I
    bool level;          // what the pin carries: driven level, pull level, or external
};

struct PinChange {
    SimTime time;
    unsigned pin;
    bool output;
    bool level;
};

class Port : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40002800;
    static constexpr std::uint32_t kIoBusAlias = 0x60000000;
    static constexpr std::uint32_t kGroupSize = 0x80;  // one group on this part
    static constexpr unsigned kPins = 32;
    static constexpr std::uint32_t kDIR = 0x00, kDIRCLR = 0x04, kDIRSET = 0x08, kDIRTGL = 0x0C,
                                   kOUT = 0x10, kOUTCLR = 0x14, kOUTSET = 0x18, kOUTTGL = 0x1C,
                                   kIN = 0x20, kCTRL = 0x24, kWRCONFIG = 0x28, kEVCTRL = 0x2C,
                                   kPMUX = 0x30, kPINCFG = 0x40;
    static constexpr std::uint8_t kPmuxen = 1u << 0, kInen = 1u << 1, kPullen = 1u << 2,
                                  kDrvstr = 1u << 6;
    static constexpr std::uint32_t kWrPinMask = 0xFFFF, kWrPmuxen = 1u << 16, kWrInen = 1u << 17,
                                   kWrPullen = 1u << 18, kWrDrvstr = 1u << 22, kWrPmuxPos = 24,
                                   kWrPmux = 1u << 28, kWrPincfg = 1u << 30, kWrHwsel = 1u << 31;

    explicit Port(Board& board);
    void reset() override;

    PinView pin(unsigned n) const;
    std::uint32_t dir() const { return value(kDIR); }
    std::uint32_t out() const { return value(kOUT); }
    std::uint8_t pincfg(unsigned n) const { return static_cast<std::uint8_t>(value(kPINCFG + n)); }
    std::uint8_t pmux(unsigned k) const { return static_cast<std::uint8_t>(value(kPMUX + k)); }
    // Level applied from outside to a pin that nothing drives (a test, a bus).
    void set_external_level(unsigned n, bool level);
    // Output level changes since reset, in time order.
    const std::vector<PinChange>& changes() const { return changes_; }
    // Total register writes seen, to check that code touched no pin.
    std::uint64_t writes() const { return writes_; }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    void record_changes(std::uint32_t old_dir, std::uint32_t old_out);
    std::uint32_t external_ = 0;
    std::vector<PinChange> changes_;
    std::uint64_t writes_ = 0;
};

}  // namespace vboard
