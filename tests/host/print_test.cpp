// Text and number formatting through a byte sink that records what it is
// offered and can refuse one byte.
#include "core/Print.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace {

// Accepts every byte except the one at position `refuse_at` among those
// offered (counting from 0).
class ByteSink : public Print {
  public:
    explicit ByteSink(long refuse_at = -1) : refuse_at_(refuse_at) {}
    size_t write(uint8_t byte) override {
        if (offered_++ == refuse_at_) return 0;
        accepted_.push_back(static_cast<char>(byte));
        return 1;
    }
    using Print::write;
    void flush() override {}
    const std::string& accepted() const { return accepted_; }
    long offered() const { return offered_; }

  private:
    long refuse_at_;
    long offered_ = 0;
    std::string accepted_;
};

struct PrintCase {
    const char* name;
    std::function<size_t(Print&)> operation;
    std::string bytes;  // what the sink accepts
    size_t count;       // what the operation returns
    long refuse_at = -1;
};

class Formatting : public ::testing::TestWithParam<PrintCase> {};

TEST_P(Formatting, WritesTheBytesAndCountsThem) {
    const PrintCase& c = GetParam();
    ByteSink sink(c.refuse_at);
    EXPECT_EQ(c.operation(sink), c.count);
    EXPECT_EQ(sink.accepted(), c.bytes);
}

// The target's long is 32 bits: the cases use its range.
constexpr long kLongMin = std::numeric_limits<int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kCrLf = "\r\n";

PrintCase signed_case(const char* name, long n, int base, std::string bytes) {
    const size_t count = bytes.size();
    return {name, [n, base](Print& p) { return p.print(n, base); }, std::move(bytes), count};
}
PrintCase unsigned_case(const char* name, unsigned long n, int base, std::string bytes) {
    const size_t count = bytes.size();
    return {name, [n, base](Print& p) { return p.print(n, base); }, std::move(bytes), count};
}
PrintCase float_case(const char* name, double x, int digits, const std::string& text) {
    return {name, [x, digits](Print& p) { return p.println(x, digits); }, text + kCrLf,
            text.size() + 2};
}

INSTANTIATE_TEST_SUITE_P(
    SignedIntegers, Formatting,
    ::testing::Values(
        signed_case("Zero", 0, 10, "0"), signed_case("MinusOneInHex", -1, 16, "FFFFFFFF"),
        signed_case("MostNegative", kLongMin, 10, "-2147483648"),
        signed_case("Base1IsDecimalWithoutSign", -5, 1, "4294967291"),
        signed_case("Base256IsDecimalWithoutSign", -1, 256, "4294967295"),
        signed_case("OnlyBaseExactly10HasASign", -1, 266, "4294967295"),
        signed_case("Base0IsOneRawByte", 0x1234, 0, "\x34"),
        signed_case("NegativeInBase0IsItsLowByte", -1, 0, "\xFF"), signed_case("Octal", 8, 8, "10"),
        PrintCase{"IntIsWidened", [](Print& p) { return p.print(-42, 10); }, "-42", 3}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    UnsignedIntegers, Formatting,
    ::testing::Values(unsigned_case("Binary", 255, 2, "11111111"),
                      unsigned_case("Base36UpperCase", 35, 36, "Z"),
                      unsigned_case("ThirtyTwoBinaryDigits", 0xFFFFFFFFul, 2, std::string(32, '1')),
                      unsigned_case("Base0IsOneRawByte", 0x1FF, 0, "\xFF"),
                      unsigned_case("Base257IsBase1IsDecimal", 10, 257, "10"),
                      unsigned_case("DigitCodeKeptTo8Bits", 254, 255, "5")),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Floats, Formatting,
    ::testing::Values(float_case("TwoPlaces", 1.5, 2, "1.50"),
                      float_case("NegativeZeroHasNoSign", -0.0, 2, "0.00"),
                      float_case("RoundsUp", 1.999, 2, "2.00"),
                      float_case("RoundsHalfUp", 12.3456, 2, "12.35"),
                      float_case("CarriesIntoTheIntegerPart", 99.995, 2, "100.00"),
                      float_case("StoredBelowTheHalf", 1.005, 2, "1.00"),
                      float_case("NoPointForZeroPlaces", 2.5, 0, "3"),
                      float_case("HalfAwayFromZero", -2.5, 0, "-3"),
                      float_case("Digits256AreZeroPlaces", 2.5, 256, "3"),
                      float_case("NaN", kNaN, 2, "nan"), float_case("Infinity", kInf, 2, "inf"),
                      float_case("MinusInfinityHasNoSign", -kInf, 2, "inf"),
                      float_case("LargestPrintable", 4294967040.0, 2, "4294967040.00"),
                      float_case("JustAboveTheLimit", 4294967041.0, 2, "ovf"),
                      float_case("OverflowHasNoSign", -5e9, 2, "ovf"),
                      float_case("NegativeWithPlaces", -0.125, 3, "-0.125")),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TextAndLines, Formatting,
    ::testing::Values(
        PrintCase{"String", [](Print& p) { return p.print("abc"); }, "abc", 3},
        PrintCase{"NullStringWritesNothing",
                  [](Print& p) { return p.write(static_cast<const char*>(nullptr)); }, "", 0},
        PrintCase{"Char", [](Print& p) { return p.print('x'); }, "x", 1},
        PrintCase{"LineEnd", [](Print& p) { return p.println(); }, "\r\n", 2},
        PrintCase{"NullLineIsOnlyTheLineEnd",
                  [](Print& p) { return p.println(static_cast<const char*>(nullptr)); }, "\r\n", 2},
        PrintCase{"Line", [](Print& p) { return p.println("hi"); }, "hi\r\n", 4},
        PrintCase{"IntLine", [](Print& p) { return p.println(-12, 10); }, "-12\r\n", 5},
        PrintCase{"ByteLineInHex",
                  [](Print& p) { return p.println(static_cast<unsigned char>(200), 16); }, "C8\r\n",
                  4},
        PrintCase{"ByteLineRaw",
                  [](Print& p) { return p.println(static_cast<unsigned char>('A'), 0); }, "A\r\n",
                  3}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

// A refused byte: the run of bytes stops there and its count excludes it;
// composite operations go on with their next piece.
INSTANTIATE_TEST_SUITE_P(
    RefusedByte, Formatting,
    ::testing::Values(PrintCase{"RunStopsAtTheRefusedByte",
                                [](Print& p) {
                                    return p.write(reinterpret_cast<const uint8_t*>("abcde"), 5);
                                },
                                "ab", 2, 2},
                      PrintCase{"LineGoesOnAfterARefusedText",
                                [](Print& p) { return p.println("abc"); }, "a\r\n", 3, 1},
                      PrintCase{"DigitsGoOnAfterARefusedSign",
                                [](Print& p) { return p.print(-57L, 10); }, "57", 2, 0},
                      PrintCase{"PlacesGoOnAfterARefusedPoint",
                                [](Print& p) { return p.println(1.25, 2); }, "125\r\n", 5, 1}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

TEST(RefusingSink, BytesAfterTheRefusedOneAreNotOffered) {
    ByteSink sink(2);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(sink.write(bytes, sizeof bytes), 2u);
    EXPECT_EQ(sink.offered(), 3);
}

TEST(PrintBase, AvailableForWriteIsZero) {
    ByteSink sink;
    EXPECT_EQ(sink.availableForWrite(), 0);
}

}  // namespace
