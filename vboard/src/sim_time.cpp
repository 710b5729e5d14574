#include "sim_time.h"

#include <cmath>
#include <cstdlib>

namespace vboard {

bool parse_time_point(const std::string& text, TimePoint& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    if (text.back() == 'i') {
        const std::string digits = text.substr(0, text.size() - 1);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        out = {TimePoint::Kind::Instructions, std::strtoull(digits.c_str(), &end, 10)};
        return true;
    }
    const double number = std::strtod(text.c_str(), &end);
    const std::string unit(end);
    if (end == text.c_str() || !std::isfinite(number) || number < 0) return false;
    struct Unit {
        const char* suffix;
        double seconds;
    };
    static constexpr Unit kUnits[] = {
        {"", 1.0}, {"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}};
    for (const Unit& u : kUnits) {
        if (unit == u.suffix) {
            out = {TimePoint::Kind::Time, from_seconds(number * u.seconds)};
            return true;
        }
    }
    return false;
}

}  // namespace vboard
