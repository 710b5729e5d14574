#include "accel_noise.h"

namespace vboard {

namespace {

// splitmix64: a well-mixed 64-bit value for every input.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr unsigned kUniformsPerValue = 4;  // sum of four uniforms: close enough to a bell
constexpr double kUnitScale = 1.0 / 18446744073709551616.0;  // 2^-64
// Variance of a uniform on [-0.5, 0.5) is 1/12; of the sum of four, 1/3.
constexpr double kSumSigma = 0.57735026918962576;

}  // namespace

double AccelNoise::at(SimTime t, unsigned axis) const {
    std::uint64_t state = mix(seed_ ^ mix(t) ^ (static_cast<std::uint64_t>(axis) << 56));
    double sum = 0;
    for (unsigned i = 0; i < kUniformsPerValue; ++i) {
        state = mix(state);
        sum += static_cast<double>(state) * kUnitScale - 0.5;
    }
    return sum / kSumSigma * sigma_g_;
}

}  // namespace vboard
