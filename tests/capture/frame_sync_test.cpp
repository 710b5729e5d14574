// The frame sync against the adversarial stream table, and chunking independence.
#include <gtest/gtest.h>

#include <tuple>

#include "adversarial_streams.hpp"

namespace capture::test {
namespace {

class AdversarialStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(AdversarialStream, DecodesEveryTrueFrameAndInventsNone) {
    const StreamCase& c = GetParam();
    const Recording r = decode(c.stream.data(), c.stream.data().size());
    const LockResult s = score(c.stream.truth(), r.samples);
    EXPECT_EQ(s.invented, 0u);
    EXPECT_EQ(s.lost, 0u);
    EXPECT_EQ(r.resets.size(), c.resets);
    // Every byte is a frame's, a text line's or skipped, once.
    EXPECT_EQ(r.sync.frames * kFrameSize + r.sync.text_bytes + r.sync.skipped_bytes,
              c.stream.data().size());
}

auto comparable(const Sample& s) {
    return std::make_tuple(s.index, s.session, s.device_time_ms, s.timeline_ms, s.elapsed_ms,
                           s.counts, s.offset);
}

auto comparable(const SyncCounters& c) {
    return std::make_tuple(c.bytes, c.frames, c.skipped_bytes, c.text_bytes, c.text_lines, c.locks,
                           c.resyncs, c.missed_frames, c.truncated_frames);
}

TEST_P(AdversarialStream, ByteByByteAndLargeChunksGiveTheSameOutput) {
    const StreamCase& c = GetParam();
    const Recording whole = decode(c.stream.data(), c.stream.data().size());
    for (std::size_t chunk : {1, 3, 10, 11, 4096}) {
        SCOPED_TRACE("chunk " + std::to_string(chunk));
        const Recording r = decode(c.stream.data(), chunk);
        ASSERT_EQ(r.samples.size(), whole.samples.size());
        for (std::size_t k = 0; k < r.samples.size(); ++k) {
            ASSERT_EQ(comparable(r.samples[k]), comparable(whole.samples[k])) << "sample " << k;
        }
        ASSERT_EQ(r.resets.size(), whole.resets.size());
        for (std::size_t k = 0; k < r.resets.size(); ++k) {
            EXPECT_EQ(r.resets[k].text, whole.resets[k].text);
            EXPECT_EQ(r.resets[k].offset, whole.resets[k].offset);
        }
        EXPECT_EQ(comparable(r.sync), comparable(whole.sync));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AdversarialStream, ::testing::ValuesIn(adversarial_cases()),
                         [](const ::testing::TestParamInfo<StreamCase>& info) {
                             std::string n;
                             for (char ch : info.param.name) {
                                 n.push_back(std::isalnum(static_cast<unsigned char>(ch)) ? ch
                                                                                          : '_');
                             }
                             return n + "_" + std::to_string(info.index);
                         });

// Counters that tell a test engineer what the line did.
struct CounterCase {
    const char* name;
    StreamBuilder stream;
    std::uint64_t resyncs;
    std::uint64_t missed;
    std::uint64_t truncated;
    std::uint64_t skipped;
};

class SyncCounterTest : public ::testing::TestWithParam<CounterCase> {};

TEST_P(SyncCounterTest, CountsResyncsMissesAndSkippedBytes) {
    const CounterCase& c = GetParam();
    const Recording r = decode(c.stream.data(), c.stream.data().size());
    EXPECT_EQ(r.sync.resyncs, c.resyncs);
    EXPECT_EQ(r.sync.missed_frames, c.missed);
    EXPECT_EQ(r.sync.truncated_frames, c.truncated);
    EXPECT_EQ(r.sync.skipped_bytes, c.skipped);
    EXPECT_EQ(r.sync.bytes, c.stream.data().size());
}

AxisCounts level(std::size_t) {
    return {1, 2, 256};
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SyncCounterTest,
    ::testing::Values(
        // A corrupted frame keeps the lock: one miss, no resync, its ten bytes skipped.
        CounterCase{"corrupt",
                    StreamBuilder().frames(20, level).corrupt_last(0, 0).frames(20, level), 0, 1, 0,
                    10},
        // Three corrupted frames in a row are still tolerated.
        CounterCase{"three_corrupt",
                    StreamBuilder()
                        .frames(20, level)
                        .corrupt_last(0, 0)
                        .frame(level(0))
                        .corrupt_last(0, 0)
                        .frame(level(0))
                        .corrupt_last(0, 0)
                        .frames(20, level),
                    0, 3, 0, 30},
        // A cut frame moves the phase: a resync.
        CounterCase{"cut",
                    StreamBuilder().frames(20, level).truncated(level(0), 7).frames(20, level), 1,
                    0, 1, 7},
        // A capture that ends inside a frame.
        CounterCase{"ends_cut", StreamBuilder().frames(20, level).truncated(level(0), 5), 0, 0, 1,
                    5},
        // Text is not skipped bytes, and the lock after a banner is not a resync.
        CounterCase{"banner", StreamBuilder().frames(20, level).reset(40).frames(20, level), 0, 0,
                    0, 0},
        // Four corrupted frames in a row lose the lock; frames after them need a new one.
        CounterCase{"four_corrupt",
                    StreamBuilder()
                        .frames(20, level)
                        .corrupt_last(0, 0)
                        .frame(level(0))
                        .corrupt_last(0, 0)
                        .frame(level(0))
                        .corrupt_last(0, 0)
                        .frame(level(0))
                        .corrupt_last(0, 0)
                        .frames(20, level),
                    1, 0, 0, 40}),
    [](const ::testing::TestParamInfo<CounterCase>& info) { return info.param.name; });

}  // namespace
}  // namespace capture::test
