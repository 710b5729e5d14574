// The 512-byte ring: capacity 511, order, wrap-around, the -1 of an empty
// ring, clear. Each case is a script of stores and reads, checked against a
// plain queue of the same capacity.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/RingBuffer.h"

namespace {

constexpr int kCapacity = 511;

struct Step {
    enum Kind { Store, Read, Clear } kind;
    int count;
};

struct RingCase {
    const char* name;
    std::vector<Step> script;
};

class RingScript : public ::testing::TestWithParam<RingCase> {};

// Runs the script on a ring and on a reference queue; after every step the
// counts agree and every byte read is the one the reference gives.
TEST_P(RingScript, AgreesWithAQueueOfCapacity511) {
    RingBuffer ring;
    std::deque<int> expected;
    int next_byte = 0;
    for (const Step& step : GetParam().script) {
        for (int i = 0; i < step.count; ++i) {
            switch (step.kind) {
                case Step::Store: {
                    const auto byte = static_cast<uint8_t>(next_byte++);
                    ring.store_char(byte);
                    if (static_cast<int>(expected.size()) < kCapacity) expected.push_back(byte);
                    break;
                }
                case Step::Read: {
                    const int want = expected.empty() ? -1 : expected.front();
                    ASSERT_EQ(ring.peek(), want);
                    ASSERT_EQ(ring.read_char(), want);
                    if (!expected.empty()) expected.pop_front();
                    break;
                }
                case Step::Clear:
                    ring.clear();
                    expected.clear();
                    break;
            }
            const int held = static_cast<int>(expected.size());
            ASSERT_EQ(ring.available(), held);
            ASSERT_EQ(ring.availableForStore(), kCapacity - held);
            ASSERT_EQ(ring.isFull(), held == kCapacity);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ring, RingScript,
    ::testing::Values(
        RingCase{"NewRingIsEmpty", {{Step::Read, 2}}},
        RingCase{"HoldsAtMost511AndDropsTheNewest", {{Step::Store, 513}, {Step::Read, 512}}},
        RingCase{"WrapsPast511",
                 {{Step::Store, 500}, {Step::Read, 500}, {Step::Store, 20}, {Step::Read, 21}}},
        RingCase{"FullAcrossTheWrap",
                 {{Step::Store, 300}, {Step::Read, 300}, {Step::Store, 512}, {Step::Read, 512}}},
        RingCase{"ClearEmptiesAHoldingRing",
                 {{Step::Store, 40},
                  {Step::Clear, 1},
                  {Step::Read, 1},
                  {Step::Store, 3},
                  {Step::Read, 4}}},
        RingCase{"ClearAfterAWrap",
                 {{Step::Store, 510},
                  {Step::Read, 505},
                  {Step::Store, 10},
                  {Step::Clear, 1},
                  {Step::Store, 511},
                  {Step::Read, 511}}}),
    [](const ::testing::TestParamInfo<RingCase>& info) { return std::string(info.param.name); });

TEST(Ring, ByteFFReadsBackAs255NotAsEmpty) {
    RingBuffer ring;
    ring.store_char(0xFF);
    EXPECT_EQ(ring.peek(), 255);
    EXPECT_EQ(ring.read_char(), 255);
    EXPECT_EQ(ring.read_char(), -1);
}

}  // namespace
