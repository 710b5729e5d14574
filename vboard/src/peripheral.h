// Base of every peripheral model on the board's bus.
//
// A model owns an address window. The bus hands it every access inside the
// window as (offset, width in bytes, value). Models with timed behaviour tell
// the board when their next event is due (next_event) and are advanced to
// that moment (advance); the board never advances a model past an event
// without calling it.
#pragma once

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "diagnostics.h"
#include "sim_time.h"

namespace vboard {

class Board;
struct FaultSpec;

class Peripheral {
  public:
    Peripheral(Board& board, std::string name, std::uint32_t base, std::uint32_t size);
    virtual ~Peripheral() = default;
    Peripheral(const Peripheral&) = delete;
    Peripheral& operator=(const Peripheral&) = delete;

    const std::string& name() const { return name_; }
    std::uint32_t base() const { return base_; }
    std::uint32_t size() const { return size_; }

    // Bus accesses; `width` is 1, 2 or 4 and `offset` is relative to base().
    virtual std::uint32_t read(std::uint32_t offset, unsigned width) = 0;
    virtual void write(std::uint32_t offset, unsigned width, std::uint32_t value) = 0;

    // Back to the state after a power-on or system reset.
    virtual void reset() = 0;

    // Timed behaviour: the time of the next internal event, and processing of
    // every event due at or before `now`.
    virtual SimTime next_event() const { return kNever; }
    virtual void advance(SimTime /*now*/) {}

    // A clock this model depends on changed frequency.
    virtual void clocks_changed() {}

    // Power is lost at `now`: finish whatever power loss does to an
    // operation in progress (the board then powers on again, or ends).
    virtual void power_off(SimTime /*now*/) {}

    // Fault injection: claim and arm a fault of the command line, or return false.
    virtual bool arm_fault(const FaultSpec& /*fault*/) { return false; }

    // Adds this model's section to the run report (nothing by default).
    virtual void add_to_report(nlohmann::json& /*report*/) const {}

  protected:
    Board& board() const { return board_; }
    SimTime now() const;
    // The model's next_event() may have changed, or an interrupt line moved.
    void reschedule();
    void note(Finding kind, std::uint32_t offset, const std::string& text) const;
    // Interrupt line of the NVIC (0..31) driven at `level`.
    void set_irq(unsigned line, bool level);

  private:
    Board& board_;
    std::string name_;
    std::uint32_t base_;
    std::uint32_t size_;
};

}  // namespace vboard
