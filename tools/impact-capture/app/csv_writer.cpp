#include "csv_writer.hpp"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace capture {

namespace {
constexpr std::int32_t kTenthMgInG = 10000;
constexpr std::size_t kRowBytes = 160;
}  // namespace

std::size_t format_g(std::int16_t counts, char* out) {
    const std::int32_t tenth_mg = std::abs(static_cast<std::int32_t>(counts)) * kTenthMgPerCount;
    const int n = std::snprintf(out, 16, "%s%" PRId32 ".%04" PRId32, counts < 0 ? "-" : "",
                                tenth_mg / kTenthMgInG, tenth_mg % kTenthMgInG);
    return static_cast<std::size_t>(n);
}

CsvWriter::CsvWriter(OutputFile& out) : out_(out) {
    out_.write(kCsvHeader);
}

void CsvWriter::write(const Sample& s) {
    char row[kRowBytes];
    int n = std::snprintf(row, sizeof row, "%" PRIu64 ",%" PRIu32 ",%" PRIu64 ",%u,%d,%d,%d,",
                          s.index, s.session, s.device_time_ms, unsigned{s.elapsed_ms}, s.counts[0],
                          s.counts[1], s.counts[2]);
    std::size_t at = static_cast<std::size_t>(n);
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        at += format_g(s.counts[a], row + at);
        row[at++] = ',';
    }
    n = std::snprintf(row + at, sizeof row - at, "%.6f\n", s.host_time_s);
    out_.write(row, at + static_cast<std::size_t>(n));
}

}  // namespace capture
