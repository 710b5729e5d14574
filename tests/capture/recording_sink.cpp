#include "recording_sink.hpp"

#include <algorithm>

namespace capture::test {

namespace {
class RecordingSink : public DecoderSink {
  public:
    explicit RecordingSink(Recording& r) : r_(r) {}
    void on_sample(const Sample& s) override { r_.samples.push_back(s); }
    void on_reset(const ResetEvent& e) override { r_.resets.push_back(e); }
    void on_event(const ThresholdEvent& e) override { r_.events.push_back(e); }

  private:
    Recording& r_;
};

constexpr double kSecondsPerByte = 1e-3;
}  // namespace

Recording decode(const std::vector<std::uint8_t>& data, std::size_t chunk, DecoderConfig config) {
    Recording r;
    RecordingSink sink(r);
    Decoder d(sink, config);
    for (std::size_t at = 0; at < data.size(); at += chunk) {
        const std::size_t n = std::min(chunk, data.size() - at);
        d.feed(data.data() + at, n, static_cast<double>(at + n - 1) * kSecondsPerByte);
    }
    d.finish();
    r.sync = d.sync();
    return r;
}

}  // namespace capture::test
