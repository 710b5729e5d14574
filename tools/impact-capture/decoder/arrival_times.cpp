#include "arrival_times.hpp"

namespace capture {

void ArrivalTimes::add(std::uint64_t end, double host_time_s) {
    if (!chunks_.empty() && chunks_.back().end >= end) return;
    chunks_.push_back({end, host_time_s});
}

double ArrivalTimes::at(std::uint64_t offset) {
    while (!chunks_.empty() && chunks_.front().end <= offset) {
        last_s_ = chunks_.front().host_time_s;
        chunks_.pop_front();
    }
    return chunks_.empty() ? last_s_ : chunks_.front().host_time_s;
}

}  // namespace capture
