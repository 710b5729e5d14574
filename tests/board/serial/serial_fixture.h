// Serial ports on the virtual board: the companion image (every function
// kept) booted to setup, with helpers that call the ports' operations and
// look at the USART models.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "models/sercom.h"
#include "models/sercom_usart.h"

namespace testing_support {

// USART register offsets and the modules' register blocks.
using Usart = vboard::SercomUsart;
constexpr std::uint32_t kSercom1 = vboard::Sercom::kBases[1];
// Serial1 at 8 MHz, BAUD 0x4004: 8.5 us a bit, 85 us an 8N1 frame.
constexpr vboard::SimTime kBitTime = 8500 * vboard::kNanosecond;
constexpr vboard::SimTime kFrameTime = 10 * kBitTime;

class SerialPortTest : public FullImageTest {
  protected:
    // Builds the board with `options` (default: test options), boots to
    // setup and parks the processor there: it waits in a branch-to-self in
    // RAM while interrupts run, so the application never runs and the tests
    // drive the ports alone.
    void start();
    void start(const vboard::BoardOptions& options);

    vboard::SercomUsart& usart(unsigned module);
    std::uint32_t sercom_register(unsigned module, std::uint32_t offset, unsigned width);

    // Operations of a port object ("Serial0" .. "Serial3").
    void begin(const std::string& port, std::uint32_t baud = 115200);
    void begin(const std::string& port, std::uint32_t baud, std::uint16_t config);
    void end(const std::string& port);
    std::uint32_t write(const std::string& port, std::uint8_t byte);
    std::uint32_t write(const std::string& port, const std::vector<std::uint8_t>& bytes);
    std::uint32_t println(const std::string& port, const std::string& text);
    int available(const std::string& port);
    int available_for_write(const std::string& port);
    int read(const std::string& port);
    int peek(const std::string& port);

    // Free RAM above the zero-initialised data, for strings and buffers.
    std::uint32_t scratch();
    // The bytes transmitted on a module, from the `first` frame on.
    std::vector<std::uint8_t> transmitted(unsigned module, std::size_t first = 0);
};

}  // namespace testing_support

using testing_support::kSercom1;
using testing_support::SerialPortTest;
using testing_support::Usart;
