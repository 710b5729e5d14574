// libFuzzer target for the decoder. Checks, for any input: every byte is accounted for once
// (frame, text or skipped), every frame delivered starts with a header in the input, frames
// do not overlap, and feeding in small chunks gives the same frames as feeding all at once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "decoder.hpp"

namespace {

class Collect : public capture::DecoderSink {
  public:
    void on_sample(const capture::Sample& s) override { samples.push_back(s); }
    std::vector<capture::Sample> samples;
};

struct Result {
    std::vector<capture::Sample> samples;
    capture::SyncCounters sync;
};

Result decode(const std::uint8_t* data, std::size_t size, std::size_t chunk) {
    Collect c;
    capture::Decoder d(c, {1.5, std::nullopt, std::nullopt});
    for (std::size_t at = 0; at < size; at += chunk) {
        d.feed(data + at, chunk < size - at ? chunk : size - at, static_cast<double>(at));
    }
    d.finish();
    return {c.samples, d.sync()};
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the chunk size of the second decode.
    const std::size_t chunk = 1 + data[0] % 17;
    const Result whole = decode(data, size, size);
    const Result parts = decode(data, size, chunk);

    const capture::SyncCounters& s = whole.sync;
    check(s.bytes == size);
    check(s.frames == whole.samples.size());
    check(s.frames * capture::kFrameSize + s.skipped_bytes + s.text_bytes == size);
    std::uint64_t next_free = 0;
    for (const capture::Sample& x : whole.samples) {
        check(x.offset >= next_free);
        check(x.offset + capture::kFrameSize <= size);
        check(data[x.offset] == 0xFF && data[x.offset + 1] == 0xFF && data[x.offset + 2] == 0xFF);
        next_free = x.offset + capture::kFrameSize;
    }
    check(parts.samples.size() == whole.samples.size());
    for (std::size_t k = 0; k < whole.samples.size(); ++k) {
        check(parts.samples[k].offset == whole.samples[k].offset);
        check(parts.samples[k].device_time_ms == whole.samples[k].device_time_ms);
        check(parts.samples[k].session == whole.samples[k].session);
    }
    check(parts.sync.resyncs == s.resyncs && parts.sync.skipped_bytes == s.skipped_bytes &&
          parts.sync.text_bytes == s.text_bytes);
    return 0;
}
