// Threshold events: start, end, peak and duration.
#include <gtest/gtest.h>

#include "recording_sink.hpp"
#include "stream_builder.hpp"

namespace capture::test {
namespace {

constexpr double kThresholdG = 2.0;
constexpr std::int16_t kQuiet = 256;  // 1 g
constexpr std::int16_t kHit = 1024;   // 4 g
constexpr std::int16_t kPeak = 2048;  // 8 g

struct EventCase {
    const char* name;
    std::vector<std::int16_t> z;  // every frame 2 ms apart; X and Y are 0
    bool reset_after_frame_3;
    std::vector<std::uint64_t> first_frames;
    std::vector<std::uint64_t> durations_ms;
    std::vector<std::uint64_t> peak_frames;
};

class ThresholdEventTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(ThresholdEventTest, FindsTheEvents) {
    const EventCase& c = GetParam();
    StreamBuilder b;
    for (std::size_t k = 0; k < c.z.size(); ++k) {
        b.frame_with_elapsed(2, {0, 0, c.z[k]});
        if (c.reset_after_frame_3 && k == 3) b.reset(37);
    }
    DecoderConfig config;
    config.threshold_g = kThresholdG;
    const Recording r = decode(b.data(), 1, config);
    ASSERT_EQ(r.samples.size(), c.z.size());
    std::vector<std::uint64_t> first, duration, peak;
    for (const ThresholdEvent& e : r.events) {
        first.push_back(e.first_frame);
        duration.push_back(e.duration_ms);
        peak.push_back(e.peak_frame);
    }
    EXPECT_EQ(first, c.first_frames);
    EXPECT_EQ(duration, c.durations_ms);
    EXPECT_EQ(peak, c.peak_frames);
}

struct GapCase {
    const char* name;
    std::uint64_t gap_ms;
    std::vector<std::uint64_t> first_frames;
    std::vector<std::uint64_t> durations_ms;
};

class EventMergeGapTest : public ::testing::TestWithParam<GapCase> {};

// A ringing impact: above, a 4 ms dip, above again, then quiet for good.
TEST_P(EventMergeGapTest, ShortDipsJoinOneImpact) {
    StreamBuilder b;
    for (std::int16_t z :
         {kQuiet, kHit, kQuiet, kQuiet, kPeak, kQuiet, kQuiet, kQuiet, kQuiet, kQuiet})
        b.frame_with_elapsed(2, {0, 0, z});
    DecoderConfig config;
    config.threshold_g = kThresholdG;
    config.event_merge_gap_ms = GetParam().gap_ms;
    const Recording r = decode(b.data(), 1, config);
    std::vector<std::uint64_t> first, duration;
    for (const ThresholdEvent& e : r.events) {
        first.push_back(e.first_frame);
        duration.push_back(e.duration_ms);
    }
    EXPECT_EQ(first, GetParam().first_frames);
    EXPECT_EQ(duration, GetParam().durations_ms);
}

INSTANTIATE_TEST_SUITE_P(Gaps, EventMergeGapTest,
                         ::testing::Values(GapCase{"no_gap", 0, {1, 4}, {2, 2}},
                                           GapCase{"dip_shorter_than_gap", 10, {1}, {8}},
                                           GapCase{"dip_as_long_as_gap", 4, {1, 4}, {2, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Streams, ThresholdEventTest,
    ::testing::Values(
        EventCase{"none", {kQuiet, kQuiet, kQuiet}, false, {}, {}, {}},
        EventCase{"one_frame_spike", {kQuiet, kHit, kQuiet}, false, {1}, {2}, {1}},
        EventCase{"peak_inside", {kQuiet, kHit, kPeak, kHit, kQuiet}, false, {1}, {6}, {2}},
        EventCase{
            "two_events", {kHit, kQuiet, kQuiet, kPeak, kQuiet}, false, {0, 3}, {2, 2}, {0, 3}},
        EventCase{"open_at_end", {kQuiet, kHit, kPeak}, false, {1}, {2}, {2}},
        // A reset cuts the event at its last sample above; the next session starts afresh.
        EventCase{"cut_by_reset",
                  {kQuiet, kQuiet, kHit, kHit, kHit, kQuiet},
                  true,
                  {2, 4},
                  {2, 2},
                  {2, 4}}),
    [](const ::testing::TestParamInfo<EventCase>& info) { return info.param.name; });

TEST(ThresholdEvents, AtTheThresholdIsNotAbove) {
    ThresholdEvents t(1.0);
    Sample s;
    s.counts = {0, 0, 256};  // 0.9984 g
    EXPECT_FALSE(t.add(s));
    EXPECT_FALSE(t.cut());
}

}  // namespace
}  // namespace capture::test
