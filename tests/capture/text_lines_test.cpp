// Text lines found among bytes that are not frames.
#include "text_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace capture {
namespace {

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class TextLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(TextLinesTest, FindsTheLines) {
    TextLines t;
    std::vector<std::string> found;
    std::size_t wire = 0;
    for (char ch : GetParam().bytes) {
        if (t.push(static_cast<std::uint8_t>(ch))) {
            found.emplace_back(t.line());
            wire += t.line_bytes();
        }
    }
    EXPECT_EQ(found, GetParam().lines);
    std::size_t expected_wire = 0;
    for (const auto& l : GetParam().lines) expected_wire += l.size() + 2;
    if (GetParam().lines.size() > 0 && GetParam().bytes.find("\r\n") != std::string::npos) {
        EXPECT_EQ(wire, expected_wire);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TextLinesTest,
    ::testing::Values(
        LineCase{"crlf", "\tHw 1\tFw 1.0 - pruebas\r\n", {"\tHw 1\tFw 1.0 - pruebas"}},
        LineCase{"two", "abcd\r\nefgh\r\n", {"abcd", "efgh"}},
        LineCase{"binary_before", std::string("\xff\x01\x00", 3) + "abcd\r\n", {"abcd"}},
        LineCase{"binary_inside", std::string("ab\x01", 3) + "cd\r\n", {}},
        LineCase{"too_short", "abc\r\n", {}}, LineCase{"lone_cr", "abcd\refgh\r\n", {"efgh"}},
        LineCase{"empty", "\r\n\r\n", {}}, LineCase{"unfinished", "abcdefgh", {}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(TextLines, KeepsTheStartOfAnOverlongLineAndCountsAllItsBytes) {
    TextLines t;
    const std::string l(kMaxTextLineChars + 50, 'a');
    bool done = false;
    for (char ch : l + "\r\n") done = t.push(static_cast<std::uint8_t>(ch));
    ASSERT_TRUE(done);
    EXPECT_EQ(t.line().size(), kMaxTextLineChars);
    EXPECT_EQ(t.line_bytes(), l.size() + 2);
}

}  // namespace
}  // namespace capture
