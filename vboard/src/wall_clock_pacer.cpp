#include "wall_clock_pacer.h"

#include <thread>

namespace vboard {

void WallClockPacer::pace(SimTime now) {
    const Clock::time_point wall = Clock::now();
    if (!anchored_ || now < sim_origin_) {
        anchored_ = true;
        wall_origin_ = wall;
        sim_origin_ = now;
        return;
    }
    const auto simulated = std::chrono::nanoseconds((now - sim_origin_) / kNanosecond);
    const Clock::time_point due =
        wall_origin_ + std::chrono::duration_cast<Clock::duration>(simulated);
    if (due > wall) {
        std::this_thread::sleep_until(due);
    } else if (wall - due > std::chrono::nanoseconds(kMaxLag / kNanosecond)) {
        wall_origin_ = wall;
        sim_origin_ = now;
    }
}

}  // namespace vboard
