// A fault to inject, as written on the command line:
//   KIND[:ARGUMENT][@START[..END]]
// e.g. "sensor-absent", "scl-low@2.5s", "nack-next@1s..3s", "power-cut@120000i".
// START and END are time points (see parse_time_point); without START the
// fault is there from power-on, without END it stays.
#pragma once

#include <optional>
#include <string>

#include "sim_time.h"

namespace vboard {

struct FaultSpec {
    std::string text;  // as given
    std::string kind;
    std::string argument;
    std::optional<TimePoint> start;
    std::optional<TimePoint> end;
};

// Throws std::invalid_argument with a message naming the bad part.
FaultSpec parse_fault(const std::string& text);

}  // namespace vboard
