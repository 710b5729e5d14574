#include "fault_spec.h"

#include <stdexcept>

namespace vboard {

FaultSpec parse_fault(const std::string& text) {
    FaultSpec fault;
    fault.text = text;
    std::string head = text;
    if (const auto at = text.find('@'); at != std::string::npos) {
        head = text.substr(0, at);
        std::string when = text.substr(at + 1);
        std::string until;
        if (const auto dots = when.find(".."); dots != std::string::npos) {
            until = when.substr(dots + 2);
            when = when.substr(0, dots);
            TimePoint end;
            if (!parse_time_point(until, end))
                throw std::invalid_argument("fault '" + text + "': bad end time '" + until + "'");
            fault.end = end;
        }
        TimePoint start;
        if (!parse_time_point(when, start))
            throw std::invalid_argument("fault '" + text + "': bad start time '" + when + "'");
        fault.start = start;
    }
    if (const auto colon = head.find(':'); colon != std::string::npos) {
        fault.argument = head.substr(colon + 1);
        head = head.substr(0, colon);
    }
    if (head.empty()) throw std::invalid_argument("fault '" + text + "': no fault kind");
    fault.kind = head;
    return fault;
}

}  // namespace vboard
