// ADXL345: the three-axis accelerometer on the board's I2C bus, at 7-bit
// address 0x53 (ALT ADDRESS low).
//
// Modelled as far as a master sees it over I2C:
// * the register pointer: the first byte of a write sets it, every further
//   byte written or read goes to the pointer and moves it on by one;
// * DEVID (0xE5), BW_RATE (output data rate; LOW_POWER is not modelled),
//   POWER_CTL (Measure), DATA_FORMAT (Range, Justify, FULL_RES), the offset
//   registers OFSX..OFSZ, FIFO_CTL in bypass mode, INT_SOURCE (DATA_READY,
//   Overrun), the data registers DATAX0..DATAZ1; the other registers are
//   storage, and a setting that turns on a function this model lacks (tap,
//   activity, free-fall, interrupt pins, FIFO modes, self-test, SPI) is
//   reported;
// * standby after power-up: the data registers hold zero until POWER_CTL
//   Measure is set, then take a new sample of the source every output data
//   period (the first one period after Measure); a multi-byte read sees one
//   sample throughout, latched at its START;
// * FULL_RES coding: 3.9 mg per count (256 counts per g), 10 + Range bits,
//   right-justified and sign-extended (or left-justified), clipped at the
//   code range as the sensor saturates;
// * INT_SOURCE: DATA_READY is set by each new sample, Overrun when a sample
//   replaces one nobody read; a read of INT_SOURCE or of the data registers
//   clears both.
// The sensor is powered with the board: a reset of the microcontroller does
// not reach it, a power cycle does.
//
// Faults: `sensor-absent[:read|:write]` (no acknowledge of the address, in
// both or in one direction), `sensor-nack[:N]` (the next N data bytes, 1 by
// default, written to the sensor are not acknowledged and not taken).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "../src/peripheral.h"
#include "accel_source.h"
#include "fault_window.h"
#include "i2c_bus.h"

namespace vboard {

class Adxl345 : public Peripheral, public I2cDevice {
  public:
    static constexpr std::uint8_t kAddress = 0x53;
    static constexpr std::uint32_t kFindingsKey = 0xF1000100;  // off-chip: keys findings only
    static constexpr unsigned kRegisters = 0x40;
    // Registers (ADXL345 register map).
    static constexpr std::uint8_t kDEVID = 0x00, kTHRESH_TAP = 0x1D, kOFSX = 0x1E, kOFSY = 0x1F,
                                  kOFSZ = 0x20, kDUR = 0x21, kLATENT = 0x22, kWINDOW = 0x23,
                                  kTHRESH_ACT = 0x24, kTHRESH_INACT = 0x25, kTIME_INACT = 0x26,
                                  kACT_INACT_CTL = 0x27, kTHRESH_FF = 0x28, kTIME_FF = 0x29,
                                  kTAP_AXES = 0x2A, kACT_TAP_STATUS = 0x2B, kBW_RATE = 0x2C,
                                  kPOWER_CTL = 0x2D, kINT_ENABLE = 0x2E, kINT_MAP = 0x2F,
                                  kINT_SOURCE = 0x30, kDATA_FORMAT = 0x31, kDATAX0 = 0x32,
                                  kDATAZ1 = 0x37, kFIFO_CTL = 0x38, kFIFO_STATUS = 0x39;
    static constexpr std::uint8_t kDevidValue = 0xE5;
    static constexpr std::uint8_t kBwRateReset = 0x0A;  // 100 Hz
    // Fields.
    static constexpr std::uint8_t kRateMask = 0x0F, kLowPower = 1u << 4;
    static constexpr std::uint8_t kMeasure = 1u << 3;
    static constexpr std::uint8_t kRangeMask = 0x03, kJustify = 1u << 2, kFullRes = 1u << 3,
                                  kIntInvert = 1u << 5, kSpi = 1u << 6, kSelfTest = 1u << 7;
    static constexpr std::uint8_t kDataReady = 1u << 7, kOverrun = 1u << 0;
    static constexpr std::uint8_t kFifoModeMask = 0xC0;
    // Coding.
    static constexpr double kCountsPerG = 256.0;          // 3.9 mg per count
    static constexpr double kOffsetGPerCount = 0.015625;  // OFSx: 15.6 mg per count
    static constexpr unsigned kBaseBits = 10;
    // Output data rate: 3200 Hz for rate code 15, halving with each code below.
    static constexpr unsigned kFastestRateCode = 15;
    static constexpr std::uint64_t kFastestRateHz = 3200;

    Adxl345(Board& board, std::unique_ptr<AccelSource> source);

    // ---- I2cDevice ----
    bool on_address(SimTime t, bool read) override;
    bool on_write(SimTime t, std::uint8_t byte) override;
    std::uint8_t on_read(SimTime t) override;
    void on_stop(SimTime t) override;

    // ---- for tests and the report ----
    std::uint8_t register_value(std::uint8_t reg) const {
        return reg < kRegisters ? regs_[reg] : 0;
    }
    bool measuring() const { return (regs_[kPOWER_CTL] & kMeasure) != 0; }
    double output_rate_hz() const;
    SimTime output_period() const;
    // The 16-bit code of one axis for `g` under the present DATA_FORMAT.
    std::int16_t code_for(double g, std::int8_t offset_register) const;
    const AccelSource& source() const { return *source_; }
    void set_source(std::unique_ptr<AccelSource> source) { source_ = std::move(source); }

    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    bool arm_fault(const FaultSpec& fault) override;
    void add_to_report(nlohmann::json& report) const override;

  private:
    void power_up();
    void update_samples(SimTime t);
    void write_register(SimTime t, std::uint8_t reg, std::uint8_t value);
    std::uint8_t read_register(SimTime t, std::uint8_t reg);
    bool absent(SimTime t, bool read);
    bool refuse_byte(SimTime t);
    void observe_faults();

    std::unique_ptr<AccelSource> source_;
    std::array<std::uint8_t, kRegisters> regs_{};
    std::uint8_t pointer_ = 0;
    bool pointer_pending_ = false;  // the next written byte is the register pointer
    bool reading_ = false;
    std::array<std::uint8_t, 6> latched_{};  // the sample a read transaction sees
    SimTime measure_start_ = kNever;         // when Measure (or a new rate) took effect
    std::uint64_t sample_index_ = 0;         // newest sample taken (0: none since measure_start_)
    std::uint64_t acknowledged_index_ = 0;   // newest sample read or flagged as seen
    std::uint64_t samples_read_ = 0;

    struct Absence {
        FaultWindow window;
        bool reads, writes;
    };
    std::vector<Absence> absent_;
    struct Refusal {
        FaultWindow window;
        unsigned remaining;
    };
    std::vector<Refusal> nacks_;
};

}  // namespace vboard
