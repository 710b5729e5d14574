// Device time, sessions, resets, statistics and limits of the decoder.
#include <gtest/gtest.h>

#include "recording_sink.hpp"
#include "stream_builder.hpp"

namespace capture::test {
namespace {

constexpr std::uint32_t kBootMs = 37;

AxisCounts level(std::size_t) {
    return {0, 0, 256};
}

std::vector<std::uint8_t> with_elapsed(std::initializer_list<std::uint8_t> elapsed) {
    StreamBuilder b;
    for (std::uint8_t e : elapsed) b.frame_with_elapsed(e, {0, 0, 256});
    return b.data();
}

TEST(DeviceTime, IsTheSumOfTheElapsedBytes) {
    const Recording r = decode(with_elapsed({2, 2, 1, 2, 2, 2, 1}), 1);
    std::vector<std::uint64_t> t;
    for (const Sample& s : r.samples) t.push_back(s.device_time_ms);
    EXPECT_EQ(t, (std::vector<std::uint64_t>{2, 4, 5, 7, 9, 11, 12}));
}

TEST(DeviceTime, RestartsAtAResetAndTheTimelineCarriesOn) {
    StreamBuilder b;
    b.frames(10, level).reset(kBootMs).frames(10, level);
    const Recording r = decode(b.data(), b.data().size());
    ASSERT_EQ(r.samples.size(), 20u);
    ASSERT_EQ(r.resets.size(), 1u);
    const Sample& before = r.samples[9];
    const Sample& after = r.samples[10];
    EXPECT_EQ(before.session, 0u);
    EXPECT_EQ(after.session, 1u);
    // The first read after the start measures from time 0: boot time plus read latency.
    EXPECT_EQ(after.device_time_ms, after.elapsed_ms);
    EXPECT_EQ(after.elapsed_ms, kBootMs);
    EXPECT_EQ(after.timeline_ms, before.timeline_ms + after.elapsed_ms);
    EXPECT_EQ(r.resets[0].next_frame, 10u);
    EXPECT_EQ(r.resets[0].timeline_ms, before.timeline_ms);
    EXPECT_EQ(r.resets[0].session, 1u);
}

TEST(Reset, CarriesTheBannerText) {
    StreamBuilder b;
    b.frames(10, level).reset(kBootMs).frames(10, level);
    const Recording r = decode(b.data(), 7);
    ASSERT_EQ(r.resets.size(), 1u);
    EXPECT_EQ(r.resets[0].text, std::string(60, '*') + "\n\t\tSensor de impactos\n" +
                                    "\tHw 1\tFw 1.0 - pruebas\n" + std::string(60, '*') + "\n");
    EXPECT_EQ(r.resets[0].offset, 100u);
    EXPECT_EQ(r.sync.text_bytes, banner_text().size());
}

TEST(Reset, WithoutFramesAfterItIsStillReported) {
    StreamBuilder b;
    b.frames(10, level).reset(kBootMs);
    const Recording r = decode(b.data(), 1);
    EXPECT_EQ(r.samples.size(), 10u);
    ASSERT_EQ(r.resets.size(), 1u);
    EXPECT_EQ(r.resets[0].next_frame, 10u);
}

TEST(Limits, FrameLimitStopsExactly) {
    StreamBuilder b;
    b.frames(100, level);
    DecoderConfig c;
    c.max_frames = 37;
    const Recording r = decode(b.data(), 4096, c);
    EXPECT_EQ(r.samples.size(), 37u);
}

TEST(Limits, DeviceTimeLimitCountsFromTheFirstSample) {
    const std::vector<std::uint8_t> d = with_elapsed({2, 2, 2, 2, 2, 2, 2, 2});
    DecoderConfig c;
    c.max_device_ms = 6;  // samples at 2, 4, 6 and 8 ms are within 6 ms of the first
    const Recording r = decode(d, d.size(), c);
    ASSERT_EQ(r.samples.size(), 3u);
    EXPECT_EQ(r.samples.back().device_time_ms, 6u);
}

TEST(HostTime, IsWhenTheFramesLastByteArrived) {
    StreamBuilder b;
    b.frames(6, level);
    Recording r;
    struct Sink : DecoderSink {
        std::vector<double> t;
        void on_sample(const Sample& s) override { t.push_back(s.host_time_s); }
    } sink;
    Decoder d(sink, {});
    // Frame 0 arrives in the first chunk; frame 1 ends in the second; the rest in the third.
    d.feed(b.data().data(), 15, 1.0);
    d.feed(b.data().data() + 15, 5, 2.0);
    d.feed(b.data().data() + 20, b.data().size() - 20, 3.0);
    d.finish();
    EXPECT_EQ(sink.t, (std::vector<double>{1.0, 2.0, 3.0, 3.0, 3.0, 3.0}));
}

TEST(Stats, HistogramRateAndPeaks) {
    StreamBuilder b;
    b.frame_with_elapsed(9, {0, 0, 256});  // counts from before the capture: not an interval
    b.frame_with_elapsed(2, {-1000, 10, 256});
    b.frame_with_elapsed(2, {900, -300, 256});
    b.frame_with_elapsed(1, {0, 0, 256});
    b.frame_with_elapsed(2, {0, 0, 256});
    Recording r;
    struct Sink : DecoderSink {
        void on_sample(const Sample&) override {}
    } sink;
    Decoder d(sink, {});
    d.feed(b.data().data(), b.data().size(), 0.0);
    d.finish();
    const CaptureStats& s = d.stats();
    EXPECT_EQ(s.frames(), 5u);
    EXPECT_EQ(s.elapsed_histogram()[2], 3u);
    EXPECT_EQ(s.elapsed_histogram()[9], 1u);
    EXPECT_EQ(s.intervals(), 4u);
    EXPECT_EQ(s.interval_ms(), 7u);
    EXPECT_DOUBLE_EQ(s.mean_rate_hz(), 4000.0 / 7.0);
    EXPECT_EQ(s.axis_peak(0).counts, -1000);  // the largest size, sign kept
    EXPECT_DOUBLE_EQ(s.axis_peak(0).value, -3.9);
    EXPECT_EQ(s.axis_peak(0).frame, 1u);
    EXPECT_EQ(s.axis_peak(1).counts, -300);
    EXPECT_EQ(s.magnitude_peak().frame, 1u);
}

}  // namespace
}  // namespace capture::test
