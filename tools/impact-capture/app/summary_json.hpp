// The JSON summary written at the end of a capture.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "decoder.hpp"

namespace capture {

struct RunInfo {
    std::string source;
    bool device = false;
    unsigned baud = 0;        // devices only
    std::string started_utc;  // ISO 8601
    double host_duration_s = 0.0;
    std::string stopped_by;  // end_of_input, duration, frames, interrupt, device_lost, error
    std::string error;       // the message, when there was one
};

nlohmann::json make_summary(const Decoder& decoder, const RunInfo& run);

}  // namespace capture
