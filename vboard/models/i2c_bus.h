// The board's I2C bus: the two wires from SERCOM5's pads (SDA on PA22, SCL
// on PA23, PMUX function D) to the devices on the board, with their
// pull-ups.
//
// The master model drives the bus one protocol step at a time: START (or a
// repeated START while a transaction is open) with the address byte, data
// bytes in either direction with their acknowledges, STOP. Devices attach by
// 7-bit address; an address nobody answers is not acknowledged, and a read
// from nobody returns 0xFF (the pull-ups). Every transaction is logged with
// its times, address, direction, bytes and acknowledges.
//
// The bus is part of the board, not of the chip: it has no address window
// on the processor's bus, and it outlives resets of the microcontroller
// (a reset only lets go of a transaction in progress).
//
// Faults of the wiring: `scl-low` (the clock line held low from START to
// END: every transfer stops where it is until the line is released) and
// `bus-error` (a misplaced START/STOP condition cuts the next byte).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "../src/peripheral.h"
#include "fault_window.h"

namespace vboard {

// A device on the bus, seen from its pins.
class I2cDevice {
  public:
    virtual ~I2cDevice() = default;
    // START or repeated START with this device's address; true = ACK.
    virtual bool on_address(SimTime t, bool read) = 0;
    // A byte from the master; true = ACK.
    virtual bool on_write(SimTime t, std::uint8_t byte) = 0;
    // The byte this device puts on the bus for the master.
    virtual std::uint8_t on_read(SimTime t) = 0;
    // The master's answer to the byte just read: true = ACK, false = NACK.
    virtual void on_master_ack(SimTime /*t*/, bool /*ack*/) {}
    // STOP, or the master let go of the bus in the middle of a transaction.
    virtual void on_stop(SimTime /*t*/) {}
};

// One transaction: from its START (or repeated START) to the STOP or the
// next repeated START.
struct I2cTransfer {
    SimTime start = 0;         // the START condition
    SimTime end = kNever;      // STOP, next repeated START or abort; kNever while open
    std::uint8_t address = 0;  // 7-bit
    bool read = false;
    bool repeated_start = false;  // began with a repeated START
    bool address_ack = false;
    SimTime address_done = 0;  // the address byte's acknowledge clock
    std::vector<std::uint8_t> bytes;
    std::vector<SimTime> byte_done;  // when each data byte's last clock ended
    // Per data byte: written bytes carry the device's acknowledge, read
    // bytes the master's (the last byte of a read is normally NACKed).
    std::vector<bool> acks;
    bool stopped = false;    // ended by a STOP (not by a repeated START or an abort)
    bool bus_error = false;  // cut by a misplaced START/STOP
};

class I2cBus : public Peripheral {
  public:
    // Off-chip: no address window; the base only keys the bus's findings.
    static constexpr std::uint32_t kFindingsKey = 0xF1000000;
    static constexpr unsigned kSdaPin = 22, kSclPin = 23;  // PA22, PA23
    static constexpr unsigned kPmuxFunctionD = 3;          // SERCOM5 pads 0 and 1 on these pins
    static constexpr std::uint8_t kReleasedByte = 0xFF;    // nobody drives SDA
    // Transactions kept in the log; older ones are dropped (the report keeps the totals).
    static constexpr std::size_t kLogCapacity = 1u << 16;

    explicit I2cBus(Board& board);

    void attach(std::uint8_t address, I2cDevice& device);
    void detach(std::uint8_t address);

    // ---- the master's side (times are when each step happens on the wires) ----
    // START at `t`, or a repeated START when a transaction is open, with the
    // address byte acknowledged (or not) at `done`; returns the address ACK.
    bool start(SimTime t, std::uint8_t address_byte, SimTime done);
    bool write_byte(SimTime t, std::uint8_t byte);
    std::uint8_t read_byte(SimTime t);
    void master_ack(SimTime t, bool ack);
    void stop(SimTime t);
    // The master let go of the lines without a STOP (bus error, disable, reset).
    void abort(SimTime t, bool bus_error);
    // A START whose address byte a bus error cut at `done`: logged, nobody addressed.
    void cut_start(SimTime t, std::uint8_t address_byte, SimTime done);
    bool transaction_open() const { return open_; }
    // The pins carry SERCOM5's pads: both are multiplexed to function D.
    bool pads_connected() const;

    // ---- wiring faults ----
    // When `clocking` of SCL activity that starts at `begin` is done, the
    // clock line being held low in between (kNever: it is never released).
    SimTime clock_done(SimTime begin, SimTime clocking) const;
    bool scl_held_low(SimTime t) const;
    // A bus-error fault in force at `t` cuts the byte that ends then (each fault once).
    bool take_bus_error(SimTime t);
    // Resolve the faults' instruction-count points; true when one became known.
    bool observe_faults();

    // ---- the log ----
    const std::deque<I2cTransfer>& log() const { return log_; }
    void clear_log() { log_.clear(); }
    std::uint64_t transfers_total() const { return transfers_total_; }

    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    bool arm_fault(const FaultSpec& fault) override;
    void add_to_report(nlohmann::json& report) const override;

  private:
    I2cTransfer* current();
    void close(SimTime t, bool stopped);

    std::map<std::uint8_t, I2cDevice*> devices_;
    I2cDevice* selected_ = nullptr;  // the device that acknowledged the open transaction
    bool open_ = false;
    std::deque<I2cTransfer> log_;
    std::uint64_t transfers_total_ = 0;
    std::uint64_t address_nacks_ = 0;
    std::uint64_t bus_errors_ = 0;
    std::vector<FaultWindow> scl_low_;
    struct OneShot {
        FaultWindow window;
        bool used;
    };
    std::vector<OneShot> bus_error_faults_;
};

}  // namespace vboard
