// A pseudo-terminal pair standing in for a USB serial adapter: programs open
// the slave side by its path (a terminal program, the capture tool) while
// the board reads and writes the master side without ever blocking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vboard {

class PseudoTerminal {
  public:
    // Opens the pair in raw mode (no echo, no line editing, no character
    // translation). Throws std::runtime_error when the system refuses.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The slave side's path, e.g. /dev/pts/3.
    const std::string& path() const { return path_; }
    // Blocks until another program opens the slave side (polls the master:
    // it reports a hang-up while no slave is open).
    void wait_for_peer();
    // Writes what fits now; returns the bytes taken.
    std::size_t write_some(const std::uint8_t* bytes, std::size_t size);
    // Reads what has arrived, up to `capacity`; 0 when nothing has.
    std::size_t read_some(std::uint8_t* buffer, std::size_t capacity);

  private:
    int master_ = -1;
    // Held open so that the line stays up while no program has it open.
    int slave_ = -1;
    std::string path_;
};

}  // namespace vboard
