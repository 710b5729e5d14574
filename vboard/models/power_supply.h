// The board's supply, for the fault "power-cut@T": power fails at T, a
// simulated time or an instruction count ("power-cut@0.25", "power-cut@120000i").
// Every model then does what a power loss does to it (Board::power_cut; an
// erase or page write in progress is left half done) and the run stops with
// StopReason::PowerCut. The chip stays off until Board::power_on(). A cut
// happens once; resets of the chip do not move it.
#pragma once

#include <optional>

#include "../src/peripheral.h"
#include "../src/sim_time.h"

namespace vboard {

class PowerSupply : public Peripheral {
  public:
    explicit PowerSupply(Board& board);

    // No registers.
    std::uint32_t read(std::uint32_t, unsigned) override { return 0; }
    void write(std::uint32_t, unsigned, std::uint32_t) override {}
    void reset() override {}

    bool arm_fault(const FaultSpec& fault) override;
    // Arms a cut at `point` (the harness's form of the fault); replaces one armed before.
    void cut_at(TimePoint point);
    bool cut_pending() const { return cut_.has_value(); }
    // When the last cut happened, if one did.
    std::optional<SimTime> last_cut() const { return last_cut_; }

    SimTime next_event() const override { return next_check_; }
    void advance(SimTime now) override;
    void clocks_changed() override;
    void add_to_report(nlohmann::json& report) const override;

  private:
    void schedule();

    std::optional<TimePoint> cut_;
    std::optional<SimTime> last_cut_;
    SimTime next_check_ = kNever;
    // For a cut at an instruction count: the count at the last check and the
    // step that follows when the processor did not move (it sleeps).
    std::uint64_t checked_at_ = 0;
    SimTime idle_step_ = 0;
};

}  // namespace vboard
