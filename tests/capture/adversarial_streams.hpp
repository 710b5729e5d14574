// The table of synthetic streams that try to fool the frame sync, and how to score a decode.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "recording_sink.hpp"
#include "stream_builder.hpp"

namespace capture::test {

struct StreamCase {
    std::string name;
    StreamBuilder stream;
    std::size_t resets = 0;  // device resets in the stream
};

std::vector<StreamCase> adversarial_cases();

struct LockResult {
    std::size_t truth = 0;     // complete frames in the stream
    std::size_t decoded = 0;   // true frames decoded with their content
    std::size_t invented = 0;  // decoded frames that are not in the stream
    std::size_t lost = 0;      // true frames not decoded
};

LockResult score(const std::vector<TrueFrame>& truth, const std::vector<Sample>& samples);

}  // namespace capture::test
