// The one-line status on a terminal, and the messages that must not garble it.
#pragma once

#include <cstdint>
#include <string>

#include "decoder.hpp"

namespace capture {

// At most four updates a second.
constexpr double kStatusPeriodS = 0.25;

class StatusLine {
  public:
    // `terminal`: standard error is a terminal; `quiet`: --quiet.
    StatusLine(bool terminal, bool quiet) : terminal_(terminal), quiet_(quiet) {}

    void update(double now_s, const Decoder& d);
    // Removes the status line (before the program ends).
    void clear();

    // Progress notes: terminal only, not with --quiet.
    void info(const std::string& text);
    void warn(const std::string& text);   // not with --quiet
    void error(const std::string& text);  // always

  private:
    void print(const std::string& text);

    bool terminal_;
    bool quiet_;
    bool shown_ = false;
    bool started_ = false;
    double last_s_ = 0.0;
    std::uint64_t last_frames_ = 0;
};

}  // namespace capture
