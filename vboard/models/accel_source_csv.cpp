#include "accel_source_csv.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vboard {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) cells.push_back(trim(cell));
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

bool parse_number(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(out);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

constexpr std::size_t kColumns = 4;

}  // namespace

CsvSource::CsvSource(const std::string& path) : path_(path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("sensor file " + path + ": cannot be opened");
    std::string line;
    unsigned number = 0;
    bool header_seen = false;
    auto fail = [&](const std::string& what) {
        throw std::runtime_error("sensor file " + path + ", line " + std::to_string(number) + ": " +
                                 what);
    };
    while (std::getline(in, line)) {
        ++number;
        const std::string text = trim(line);
        if (text.empty() || text[0] == '#') continue;
        const std::vector<std::string> cells = split(text);
        if (!header_seen) {
            if (cells.size() != kColumns || lower(cells[0]) != "t" || lower(cells[1]) != "x" ||
                lower(cells[2]) != "y" || lower(cells[3]) != "z")
                fail("the header must be t,x,y,z");
            header_seen = true;
            continue;
        }
        if (cells.size() != kColumns) fail("expected 4 values (t,x,y,z)");
        double v[kColumns];
        for (std::size_t i = 0; i < kColumns; ++i)
            if (!parse_number(cells[i], v[i])) fail("'" + cells[i] + "' is not a number");
        if (v[0] < 0) fail("negative time");
        const SimTime t = from_seconds(v[0]);
        if (!rows_.empty() && t <= rows_.back().t) fail("times must increase from row to row");
        rows_.push_back({t, {v[1], v[2], v[3]}});
    }
    if (!header_seen) throw std::runtime_error("sensor file " + path + ": no header t,x,y,z");
    if (rows_.empty()) throw std::runtime_error("sensor file " + path + ": no samples");
}

Acceleration CsvSource::at(SimTime t) const {
    if (t <= rows_.front().t) return rows_.front().a;
    if (t >= rows_.back().t) return rows_.back().a;
    const auto after = std::upper_bound(rows_.begin(), rows_.end(), t,
                                        [](SimTime v, const Row& r) { return v < r.t; });
    const Row& b = *after;
    const Row& a = *(after - 1);
    const double f = static_cast<double>(t - a.t) / static_cast<double>(b.t - a.t);
    return {a.a.x + f * (b.a.x - a.a.x), a.a.y + f * (b.a.y - a.a.y), a.a.z + f * (b.a.z - a.a.z)};
}

}  // namespace vboard
