// vboard: runs a firmware image for the impact sensor on the virtual board.
//
//   vboard run --firmware build/firmware/impact-sensor.elf --seconds 5
//
// Exit codes: 0 the run completed, 1 bad options or files, 2 the firmware
// faulted (HardFault, an unhandled interrupt, a breakpoint, a lockup).
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "src/board.h"
#include "src/flash_persistence.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFirmwareFault = 2;

struct RunCommand {
    vboard::BoardOptions board;
    double seconds = 1.0;
    std::string report_file;
    std::vector<std::string> faults;
};

void add_run_options(CLI::App& run, RunCommand& cmd) {
    run.add_option("--firmware", cmd.board.firmware,
                   "Firmware image (ELF) to load into flash and run")
        ->required()
        ->check(CLI::ExistingFile);
    run.add_option("--seconds", cmd.seconds, "Simulated seconds to run (default 1)")
        ->check(CLI::PositiveNumber);
    run.add_option(
        "--report", cmd.report_file,
        "Write a JSON summary of the run to FILE: simulated time, instructions, resets with "
        "their cause, faults, findings of the peripheral models");
    run.add_option(
        "--fault", cmd.faults,
        "Inject a fault, KIND[:ARG][@START[..END]]; START/END as 1.5, 1.5s, 250ms, 40us or "
        "123456i (instructions). May be repeated. I2C: sensor-absent[:read|:write] (the "
        "accelerometer does not acknowledge its address), sensor-nack[:N] (the next N data bytes "
        "written to it, 1 by default, are not acknowledged), scl-low (the clock line is held low: "
        "transfers stop until END), bus-error (a misplaced START/STOP cuts the next byte). "
        "power-cut@T: the supply fails at T (a time or an "
        "instruction count); an erase or page write in progress is left half done, the flash "
        "storage area is written back (--flash) and the run ends (exit code 0)");
    run.add_option(
        "--flash", cmd.board.flash_file,
        "Keep the flash storage area (the image's 1280-byte _dataeeprom_storage) in FILE between "
        "runs: loaded at start (a missing FILE starts from the image's contents, zeros; a FILE of "
        "another size is refused), written back at the end of the run and at a power cut. The end "
        "of a run is a power cut for an erase or page write still in progress");
    run.add_option(
        "--sensor", cmd.board.sensor,
        "Where the accelerometer's samples come from: still (the default: lying flat, 0, 0, +1 g "
        "with small noise), demo (at rest, with impacts of several g every few seconds) or a CSV "
        "FILE: a header line t,x,y,z, then one row per point, t in seconds of simulated time since "
        "power-on (increasing), x, y and z in g; '#' lines are comments. The sensor samples it at "
        "its output data rate, interpolating linearly, holding the first row before it and the "
        "last after it; beyond its +-16 g range it clips");
    run.add_flag(
        "--wdt-alwayson", cmd.board.wdt_alwayson,
        "Start with the watchdog enabled and locked on (ALWAYSON), period 16 s, as the user row "
        "fuses would leave it after every reset");
    run.add_option("--uart1-out", cmd.board.uart1_out,
                   "Write every byte Serial1 transmits (PA18) to FILE, '-' for standard output");
    run.add_option("--uart1-in", cmd.board.uart1_in,
                   "Send FILE's bytes to Serial1's receiver (PA19) at the line's rate, back to "
                   "back, from the "
                   "moment the receiver is on. A byte with a framing error (a wrong baud rate or "
                   "frame at the "
                   "far end) is injected with --fault uart1-frame-error[:BYTE]@T: at time T the "
                   "far end sends "
                   "BYTE (default 0) with a bad stop bit")
        ->check(CLI::ExistingFile);
    run.add_flag(
        "--uart1-pty", cmd.board.uart1_pty,
        "Open a pseudo-terminal for Serial1 and print its path: a terminal program or the capture "
        "tool opens it like a board on a USB serial adapter; it carries both directions");
    run.add_flag("--uart1-pty-wait", cmd.board.uart1_pty_wait,
                 "As --uart1-pty, and hold the board before power-on until a program opens the "
                 "pseudo-terminal, so that it sees everything from the first banner on");
    run.add_flag(
        "--realtime", cmd.board.realtime,
        "Keep simulated time from running ahead of wall time (for a terminal on --uart1-pty); "
        "without it the board runs as fast as it can");
    run.add_flag("--quiet", cmd.board.quiet, "Do not print the models' findings as they happen");
}

std::string summary_line(const vboard::Board& board, const vboard::RunResult& result,
                         double wall_seconds) {
    const double simulated = vboard::to_seconds(board.now());
    char text[256];
    std::snprintf(text, sizeof text,
                  "vboard: %.3f s simulated, %llu instructions, %.2f s wall (%.0fx real time)",
                  simulated, static_cast<unsigned long long>(board.instructions()), wall_seconds,
                  wall_seconds > 0 ? simulated / wall_seconds : 0.0);
    std::string line = text;
    line += "; resets:";
    for (const vboard::ResetRecord& r : board.resets()) {
        std::snprintf(text, sizeof text, " %s at %.3f s", vboard::reset_cause_name(r.cause),
                      vboard::to_seconds(r.time));
        line += text;
    }
    if (result.reason == vboard::StopReason::Fault || result.reason == vboard::StopReason::PowerCut)
        line += "; stopped: " + result.message;
    return line;
}

int run_board(RunCommand& cmd) {
    for (const std::string& f : cmd.faults) cmd.board.faults.push_back(vboard::parse_fault(f));
    vboard::Board board(cmd.board);
    std::optional<vboard::FlashPersistence> flash;
    if (!cmd.board.flash_file.empty()) {
        flash.emplace(board, cmd.board.flash_file);
        flash->load();
    }
    const auto wall_start = std::chrono::steady_clock::now();
    const vboard::RunResult result = board.run_for(vboard::from_seconds(cmd.seconds));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    if (flash) {
        if (result.reason != vboard::StopReason::PowerCut) board.power_cut();
        flash->save();
    }
    if (!cmd.report_file.empty()) {
        nlohmann::json report = board.report();
        report["stop"] = {{"reason", vboard::stop_reason_name(result.reason)},
                          {"message", result.message}};
        report["wall_seconds"] = wall;
        std::ofstream out(cmd.report_file);
        out << report.dump(2) << "\n";
        if (!out) throw std::runtime_error("cannot write report " + cmd.report_file);
    }
    std::cerr << summary_line(board, result, wall) << "\n";
    return result.reason == vboard::StopReason::Fault ? kExitFirmwareFault : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "vboard: the impact sensor's SAML21E17B board, simulated; runs the firmware image as "
        "flashed"};
    app.require_subcommand(1);
    RunCommand cmd;
    CLI::App* run =
        app.add_subcommand("run", "Run a firmware image for a number of simulated seconds");
    add_run_options(*run, cmd);
    // `vboard --help` explains every option, those of `run` included.
    app.footer([run] { return "\n" + run->help("vboard"); });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    try {
        return run_board(cmd);
    } catch (const std::exception& e) {
        std::cerr << "vboard: " << e.what() << "\n";
        return kExitUsage;
    }
}
