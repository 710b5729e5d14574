#include "stream_builder.hpp"

#include <algorithm>
#include <cmath>

namespace capture::test {

namespace {
// The read finishes a little after its tick; millis() is sampled then.
constexpr double kReadLatencyMs = 0.3;
// A stream that does not begin with a banner joins a device that has run for a while.
constexpr double kRunningSinceMs = 5000.0;
const std::string kStars(60, '*');
}  // namespace

std::string banner_text() {
    return kStars + "\r\n" + "\t\tSensor de impactos\r\n" + "\tHw 1\tFw 1.0 - pruebas\r\n" +
           kStars + "\r\n";
}

std::uint8_t StreamBuilder::next_elapsed() {
    if (tick_ms_ == 0.0) {
        tick_ms_ = kRunningSinceMs;
        last_read_ms_ =
            static_cast<std::uint64_t>(std::floor(tick_ms_ - kTickPeriodMs + kReadLatencyMs));
    }
    const auto now = static_cast<std::uint64_t>(std::floor(tick_ms_ + kReadLatencyMs));
    const auto elapsed = static_cast<std::uint8_t>((now - last_read_ms_) & 0xFF);
    last_read_ms_ = now;
    tick_ms_ += kTickPeriodMs;
    return elapsed;
}

void StreamBuilder::put_frame(std::uint8_t elapsed, AxisCounts counts, std::size_t keep) {
    std::uint8_t f[kFrameSize] = {kHeaderByte, kHeaderByte, kHeaderByte, elapsed};
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        const auto v = static_cast<std::uint16_t>(counts[a]);
        f[kFirstAxisOffset + a * kAxisBytes] = static_cast<std::uint8_t>(v >> 8);
        f[kFirstAxisOffset + a * kAxisBytes + 1] = static_cast<std::uint8_t>(v & 0xFF);
    }
    if (keep == kFrameSize) truth_.push_back({data_.size(), elapsed, counts});
    data_.insert(data_.end(), f, f + keep);
}

StreamBuilder& StreamBuilder::frame(AxisCounts counts) {
    put_frame(next_elapsed(), counts, kFrameSize);
    return *this;
}

StreamBuilder& StreamBuilder::frames(std::size_t n,
                                     const std::function<AxisCounts(std::size_t)>& make) {
    for (std::size_t k = 0; k < n; ++k) frame(make(k));
    return *this;
}

StreamBuilder& StreamBuilder::frame_with_elapsed(std::uint8_t elapsed_ms, AxisCounts counts) {
    put_frame(elapsed_ms, counts, kFrameSize);
    return *this;
}

StreamBuilder& StreamBuilder::truncated(AxisCounts counts, std::size_t keep) {
    put_frame(next_elapsed(), counts, std::min(keep, kFrameSize - 1));
    return *this;
}

StreamBuilder& StreamBuilder::bytes(const std::vector<std::uint8_t>& b) {
    data_.insert(data_.end(), b.begin(), b.end());
    return *this;
}

StreamBuilder& StreamBuilder::reset(std::uint32_t boot_ms) {
    const std::string b = banner_text();
    data_.insert(data_.end(), b.begin(), b.end());
    tick_ms_ = boot_ms;
    last_read_ms_ = 0;
    return *this;
}

StreamBuilder& StreamBuilder::corrupt_last(std::size_t at, std::uint8_t value) {
    if (truth_.empty()) return *this;
    data_[truth_.back().offset + at] = value;
    truth_.pop_back();
    return *this;
}

StreamBuilder& StreamBuilder::drop_front(std::size_t n) {
    n = std::min(n, data_.size());
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<TrueFrame> kept;
    for (TrueFrame f : truth_) {
        if (f.offset < n) continue;
        f.offset -= n;
        kept.push_back(f);
    }
    truth_ = kept;
    return *this;
}

}  // namespace capture::test
