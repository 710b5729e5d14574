// One capture from start to end: read, decode, write, summarise, plot.
#pragma once

#include "options.hpp"

namespace capture {

// Returns the exit status.
int run_capture(const Options& options);

}  // namespace capture
