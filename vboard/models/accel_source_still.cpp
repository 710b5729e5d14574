#include "accel_source_still.h"

namespace vboard {

Acceleration StillSource::at(SimTime t) const {
    return {noise_.at(t, 0), noise_.at(t, 1), 1.0 + noise_.at(t, 2)};
}

}  // namespace vboard
