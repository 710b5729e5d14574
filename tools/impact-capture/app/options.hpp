// Command line of impact-capture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace capture {

constexpr unsigned kDefaultBaud = 115200;

enum class SourceKind { kAuto, kDevice, kFile };

struct Options {
    SourceKind source_kind = SourceKind::kAuto;
    std::string source;  // "-" is standard input
    unsigned baud = kDefaultBaud;
    std::string csv;      // "" none, "-" standard output
    std::string raw;      // "" none
    std::string summary;  // "" none, "-" standard output
    std::string plot;     // "" none
    std::optional<double> threshold_g;
    std::uint64_t event_gap_ms = 50;
    std::optional<double> duration_s;
    std::optional<std::uint64_t> frames;
    bool quiet = false;
};

// Parses the command line. Returns the exit status when the program should end at once
// (--help, a usage error), after printing what CLI11 prints.
std::optional<int> parse_options(int argc, char** argv, Options& out);

}  // namespace capture
