#include "options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>

#include "capture_error.hpp"

namespace capture {

namespace {

bool ends_with_ci(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

constexpr const char* kDescription =
    "Records the sample stream of the impact sensor's test build: finds the 10-byte frames\n"
    "(FF FF FF, elapsed ms, X, Y, Z big-endian), rebuilds device time from the elapsed bytes,\n"
    "reports device resets (the banner text between frames), and writes CSV, the raw bytes,\n"
    "a JSON summary and a plot.";

constexpr const char* kFooter =
    "Exactly one source: SOURCE, --device or --input. A SOURCE that is a terminal device\n"
    "(serial port, pty) is opened as --device, anything else as --input.\n"
    "Without --summary the JSON summary goes to standard output, unless the CSV does.\n"
    "On a terminal a status line is shown on standard error; elsewhere only warnings and errors.\n"
    "Exit status: 0 done (end of input, --duration, --frames, Ctrl-C), 1 error (no device,\n"
    "no permission, not a capture, disk full), 2 usage, 3 the device went away (what was\n"
    "captured is kept).";

}  // namespace

std::optional<int> parse_options(int argc, char** argv, Options& out) {
    CLI::App app{kDescription, "impact-capture"};
    app.footer(kFooter);

    std::string positional, device, input;
    auto* o_src = app.add_option("SOURCE", positional,
                                 "Serial device, pty or raw capture file; '-' is standard input")
                      ->type_name("SOURCE");
    auto* o_dev = app.add_option("-d,--device", device,
                                 "Serial device or pty, e.g. /dev/ttyUSB0 or /dev/serial/by-id/...;"
                                 " opened raw 8N1")
                      ->type_name("PATH");
    auto* o_in =
        app.add_option("-i,--input", input, "Raw capture file to decode; '-' is standard input")
            ->type_name("FILE");
    o_src->excludes(o_dev)->excludes(o_in);
    o_dev->excludes(o_in);

    app.add_option("-b,--baud", out.baud,
                   "Line rate of --device in baud, any rate the adapter can make (termios2 "
                   "BOTHER); the sensor runs at 117647 for its nominal 115200; not used for files")
        ->type_name("N")
        ->default_val(kDefaultBaud)
        ->check(CLI::Range(1u, 100000000u));
    app.add_option("-c,--csv", out.csv,
                   "Write one CSV row per frame to FILE; '-' is standard output")
        ->type_name("FILE");
    app.add_option("-r,--raw", out.raw, "Copy every byte received to FILE, for replay with --input")
        ->type_name("FILE");
    app.add_option("-s,--summary", out.summary,
                   "Write the JSON summary to FILE; '-' is standard output")
        ->type_name("FILE");
    app.add_option("-t,--threshold", out.threshold_g,
                   "List events where the acceleration magnitude exceeds G (in g)")
        ->type_name("G")
        ->check(CLI::PositiveNumber);
    app.add_option("--event-gap", out.event_gap_ms,
                   "Dips below the threshold shorter than MS milliseconds do not end an event, so "
                   "a ringing impact is one event (default 50; 0 ends an event at the first "
                   "sample below)")
        ->type_name("MS");
    app.add_option("-p,--plot", out.plot,
                   "Draw X, Y, Z and the magnitude against device time into FILE.png or "
                   "FILE.svg (needs gnuplot, Debian package gnuplot-nox)")
        ->type_name("FILE");
    app.add_option("--duration", out.duration_s,
                   "Stop after S seconds: host time for a device, device time (from the first "
                   "frame) for a file or standard input")
        ->type_name("S")
        ->check(CLI::PositiveNumber);
    app.add_option("-n,--frames", out.frames, "Stop after N frames")
        ->type_name("N")
        ->check(CLI::PositiveNumber);
    app.add_flag("-q,--quiet", out.quiet, "No status line and no warnings; errors only");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? kExitOk : kExitUsage;
    }

    if (!device.empty()) {
        out.source_kind = SourceKind::kDevice;
        out.source = device;
    } else if (!input.empty()) {
        out.source_kind = SourceKind::kFile;
        out.source = input;
    } else if (!positional.empty()) {
        out.source_kind = SourceKind::kAuto;
        out.source = positional;
    } else {
        std::cerr << "impact-capture: no source: give SOURCE, --device PATH or --input FILE\n"
                  << "Run with --help for more information.\n";
        return kExitUsage;
    }
    if (!out.plot.empty() && !ends_with_ci(out.plot, ".png") && !ends_with_ci(out.plot, ".svg")) {
        std::cerr << "impact-capture: --plot: " << out.plot << " must end in .png or .svg\n";
        return kExitUsage;
    }
    if (out.csv == "-" && out.summary == "-") {
        std::cerr << "impact-capture: --csv and --summary cannot both go to standard output\n";
        return kExitUsage;
    }
    if (out.summary.empty() && out.csv != "-") out.summary = "-";
    return std::nullopt;
}

}  // namespace capture
