// Decodes a byte stream in chunks of a given size and records everything the decoder reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoder.hpp"

namespace capture::test {

struct Recording {
    std::vector<Sample> samples;
    std::vector<ResetEvent> resets;
    std::vector<ThresholdEvent> events;
    SyncCounters sync;
};

// A chunk arrives at its last byte's offset in ms.
Recording decode(const std::vector<std::uint8_t>& data, std::size_t chunk,
                 DecoderConfig config = {});

}  // namespace capture::test
