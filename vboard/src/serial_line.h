// Serial1's line outside the board: where the bytes the board sends go and
// where the bytes it receives come from, as attached on the command line.
//
//   out  every transmitted byte is written to a file ("-": standard output)
//   in   a file's bytes are offered to the board's receiver, one per frame
//   pty  a pseudo-terminal carries both directions, so that a terminal
//        program or the capture tool can open the board like a USB serial
//        adapter
//   realtime  simulated time does not run ahead of wall time
//
// The USART model calls service() at a fixed simulated interval; nothing
// here ever blocks the simulation except the pacing sleep.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

#include "pseudo_terminal.h"
#include "sim_time.h"
#include "wall_clock_pacer.h"

namespace vboard {

class SerialLine {
  public:
    struct Ends {
        std::string out;
        std::string in;
        bool pty = false;
        bool realtime = false;
        bool pty_wait = false;  // hold the board until a program opens the pty
    };
    // Interval of service().
    static constexpr SimTime kServicePeriod = kMillisecond;
    // Bytes kept for a pseudo-terminal that nobody reads; older ones are
    // dropped, as on a line with nobody listening.
    static constexpr std::size_t kPtyBacklogLimit = 64 * 1024;
    // Bytes read ahead from the pseudo-terminal per service.
    static constexpr std::size_t kPtyReadChunk = 4096;

    static bool any(const Ends& ends) {
        return !ends.out.empty() || !ends.in.empty() || ends.pty || ends.realtime;
    }

    // Opens the ends; throws std::runtime_error when a file or the
    // pseudo-terminal cannot be opened. Prints the pseudo-terminal's path.
    explicit SerialLine(const Ends& ends);
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // A byte the board sent, complete with its stop bit.
    void deliver(std::uint8_t byte);
    // Whether the far end has a byte to send, and taking it.
    bool has_incoming();
    std::uint8_t take_incoming();
    // Periodic work at simulated time `now`: output flushed, the
    // pseudo-terminal polled, wall time kept.
    void service(SimTime now);

    std::string pty_path() const { return pty_ ? pty_->path() : std::string(); }
    void add_to_report(nlohmann::json& section) const;

  private:
    void fill_from_input_file();
    void flush_pty();

    std::FILE* out_ = nullptr;
    bool out_is_stdout_ = false;
    std::ifstream in_;
    bool in_open_ = false;
    std::unique_ptr<PseudoTerminal> pty_;
    std::deque<std::uint8_t> pty_backlog_;
    std::deque<std::uint8_t> incoming_;
    std::optional<WallClockPacer> pacer_;
    std::uint64_t delivered_ = 0;
    std::uint64_t received_ = 0;
    std::uint64_t pty_dropped_ = 0;
};

}  // namespace vboard
