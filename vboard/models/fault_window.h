// When an injected fault is in force: from its start point to its end point
// (FaultSpec's @START..END), each a simulated time or an instruction count.
//
// Models plan with times, so an instruction-count point becomes a time when
// the board is first seen past it (observe(), called on every access and
// event of the model that owns the fault). Without START the fault is in
// force from power-on; without END it stays.
#pragma once

#include <cstdint>

#include "../src/fault_spec.h"
#include "../src/sim_time.h"

namespace vboard {

class FaultWindow {
  public:
    explicit FaultWindow(const FaultSpec& spec);

    // Turns every instruction-count point the board has reached into the
    // time `now`. Returns true when a point became known in this call.
    bool observe(SimTime now, std::uint64_t instructions);

    // The known bounds: kNever for a point still ahead (an instruction count
    // not reached yet) or for a fault without END.
    SimTime start() const { return start_; }
    SimTime end() const { return end_; }
    bool active(SimTime t) const { return start_ <= t && t < end_; }
    const FaultSpec& spec() const { return spec_; }

  private:
    FaultSpec spec_;
    SimTime start_ = 0;
    SimTime end_ = kNever;
    std::uint64_t start_instructions_ = 0;  // pending instruction-count points
    std::uint64_t end_instructions_ = 0;
    bool start_pending_ = false;
    bool end_pending_ = false;
};

}  // namespace vboard
