#include "adversarial_streams.hpp"

#include <map>
#include <random>

namespace capture::test {

namespace {
constexpr std::size_t kRunFrames = 200;
constexpr std::int16_t kOneG = 256;            // about 1 g at 3.9 mg per count
constexpr std::int16_t kNearMinusOneG = -255;  // 0xFF01: high byte 0xFF, low byte 0x01
constexpr std::int16_t kMinusTwenty = -20;     // 0xFFEC
constexpr std::int16_t kLowByteFF = 0x00FF;    // 255: low byte 0xFF
constexpr std::uint32_t kBootMs = 37;
constexpr std::uint32_t kSeed = 12345;
constexpr int kNoise = 3;

AxisCounts flat(std::size_t) {
    return {0, 0, kOneG};
}

StreamCase make(std::string name, StreamBuilder b, std::size_t resets = 0) {
    return StreamCase{std::move(name), std::move(b), resets};
}

std::vector<std::uint8_t> garbage(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint8_t> g(n);
    for (auto& b : g) b = static_cast<std::uint8_t>(rng());
    return g;
}
}  // namespace

std::vector<StreamCase> adversarial_cases() {
    std::vector<StreamCase> cases;
    std::mt19937 rng(kSeed);
    std::uniform_int_distribution<int> noise(-kNoise, kNoise);
    auto noisy = [&](std::int16_t v) { return static_cast<std::int16_t>(v + noise(rng)); };

    cases.push_back(make("clean", StreamBuilder().frames(kRunFrames, flat)));
    cases.push_back(make("clean, capture starts mid-frame",
                         StreamBuilder().frames(kRunFrames, flat).drop_front(6)));
    cases.push_back(make("X -1, Y -255: header inside every payload",
                         StreamBuilder()
                             .frames(kRunFrames,
                                     [](std::size_t) {
                                         return AxisCounts{-1, kNearMinusOneG, kOneG};
                                     })
                             .drop_front(7)));
    cases.push_back(make("X -1, Y -255, capture starts at the payload header",
                         StreamBuilder()
                             .frames(kRunFrames,
                                     [](std::size_t) {
                                         return AxisCounts{-1, kNearMinusOneG, kOneG};
                                     })
                             .drop_front(4)));
    cases.push_back(make("Y -1, Z -255, capture starts at the payload header",
                         StreamBuilder()
                             .frames(kRunFrames,
                                     [](std::size_t) {
                                         return AxisCounts{kOneG, -1, kNearMinusOneG};
                                     })
                             .drop_front(6)));
    cases.push_back(make("Y -1, Z -255: header inside every payload",
                         StreamBuilder()
                             .frames(kRunFrames,
                                     [](std::size_t) {
                                         return AxisCounts{kOneG, -1, kNearMinusOneG};
                                     })
                             .drop_front(3)));
    cases.push_back(make("X -1, Y -20: header with a large elapsed byte inside",
                         StreamBuilder().frames(kRunFrames, [](std::size_t) {
                             return AxisCounts{-1, kMinusTwenty, kOneG};
                         })));
    cases.push_back(make("every axis -1", StreamBuilder()
                                              .frames(kRunFrames,
                                                      [](std::size_t) {
                                                          return AxisCounts{-1, -1, -1};
                                                      })
                                              .drop_front(2)));
    cases.push_back(make("Z -1: five 0xFF before each elapsed byte",
                         StreamBuilder().frames(kRunFrames, [](std::size_t) {
                             return AxisCounts{0, 0, -1};
                         })));
    cases.push_back(
        make("Z low byte 0xFF before a header", StreamBuilder().frames(kRunFrames, [](std::size_t) {
            return AxisCounts{0, 0, kLowByteFF};
        })));
    cases.push_back(make("X flips between -1 and 0, Y near -1 g",
                         StreamBuilder()
                             .frames(kRunFrames,
                                     [&](std::size_t) {
                                         return AxisCounts{
                                             static_cast<std::int16_t>(rng() % 2 ? -1 : 0),
                                             noisy(kNearMinusOneG), noisy(kOneG)};
                                     })
                             .drop_front(5)));
    for (std::size_t keep = 1; keep < kFrameSize; ++keep) {
        cases.push_back(make("truncated frame, " + std::to_string(keep) + " bytes kept",
                             StreamBuilder()
                                 .frames(kRunFrames / 2, flat)
                                 .truncated({0, 0, kOneG}, keep)
                                 .frames(kRunFrames / 2, flat)));
    }
    cases.push_back(make("truncated frame inside payload headers",
                         StreamBuilder()
                             .frames(kRunFrames / 2,
                                     [](std::size_t) {
                                         return AxisCounts{-1, kNearMinusOneG, kOneG};
                                     })
                             .truncated({-1, kNearMinusOneG, kOneG}, 4)
                             .frames(kRunFrames / 2, [](std::size_t) {
                                 return AxisCounts{-1, kNearMinusOneG, kOneG};
                             })));
    cases.push_back(make("one header byte corrupted", StreamBuilder()
                                                          .frames(kRunFrames / 2, flat)
                                                          .corrupt_last(1, 0x7F)
                                                          .frames(kRunFrames / 2, flat)));
    cases.push_back(make("one axis high byte corrupted", StreamBuilder()
                                                             .frames(kRunFrames / 2, flat)
                                                             .corrupt_last(6, 0x55)
                                                             .frames(kRunFrames / 2, flat)));
    cases.push_back(make("random garbage between frames", StreamBuilder()
                                                              .frames(kRunFrames / 4, flat)
                                                              .bytes(garbage(rng, 37))
                                                              .frames(kRunFrames / 4, flat)
                                                              .bytes(garbage(rng, 300))
                                                              .frames(kRunFrames / 4, flat)
                                                              .bytes(garbage(rng, 3))
                                                              .frames(kRunFrames / 4, flat)));
    cases.push_back(make("garbage that looks like a frame start",
                         StreamBuilder()
                             .frames(kRunFrames / 2, flat)
                             .bytes({0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x00})
                             .frames(kRunFrames / 2, flat)));
    cases.push_back(
        make("0xFF bursts between frames", StreamBuilder()
                                               .frames(kRunFrames / 2, flat)
                                               .bytes(std::vector<std::uint8_t>(13, 0xFF))
                                               .frames(kRunFrames / 2, flat)));
    cases.push_back(
        make("banner at power-up", StreamBuilder().reset(kBootMs).frames(kRunFrames, flat), 1));
    cases.push_back(make("banner mid-stream after a cut frame",
                         StreamBuilder()
                             .frames(kRunFrames / 2, flat)
                             .truncated({0, 0, kOneG}, 6)
                             .reset(kBootMs)
                             .frames(kRunFrames / 2, flat),
                         1));
    cases.push_back(make("banner mid-stream, payload headers on both sides",
                         StreamBuilder()
                             .frames(kRunFrames / 2,
                                     [](std::size_t) {
                                         return AxisCounts{-1, kNearMinusOneG, kOneG};
                                     })
                             .reset(kBootMs)
                             .frames(kRunFrames / 2,
                                     [](std::size_t) {
                                         return AxisCounts{-1, kNearMinusOneG, kOneG};
                                     }),
                         1));
    cases.push_back(make("two resets, the second without frames before it",
                         StreamBuilder()
                             .frames(kRunFrames / 2, flat)
                             .reset(kBootMs)
                             .frames(kRunFrames / 2, flat)
                             .reset(kBootMs)
                             .frames(kRunFrames / 2, flat),
                         2));
    return cases;
}

LockResult score(const std::vector<TrueFrame>& truth, const std::vector<Sample>& samples) {
    std::map<std::uint64_t, const TrueFrame*> by_offset;
    for (const TrueFrame& f : truth) by_offset[f.offset] = &f;
    LockResult r;
    r.truth = truth.size();
    for (const Sample& s : samples) {
        const auto it = by_offset.find(s.offset);
        if (it != by_offset.end() && it->second->elapsed_ms == s.elapsed_ms &&
            it->second->counts == s.counts) {
            ++r.decoded;
        } else {
            ++r.invented;
        }
    }
    r.lost = r.truth - r.decoded;
    return r;
}

}  // namespace capture::test
