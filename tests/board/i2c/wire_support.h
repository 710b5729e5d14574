// Calling the I2C master and the accelerometer driver of the firmware image
// from tests, and the helpers they share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "models/i2c_bus.h"

namespace wire_support {

constexpr std::uint8_t kSensor = 0x53;
constexpr std::uint8_t kNobody = 0x10;
constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;  // int -1 in r0

// A temporary file that is removed with the object.
class TempFile {
  public:
    explicit TempFile(const std::string& content);
    ~TempFile();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A device on the bus that acknowledges everything, keeps what it is sent
// and answers reads with 0, 1, 2, ...
class CountingDevice : public vboard::I2cDevice {
  public:
    bool on_address(vboard::SimTime, bool) override { return true; }
    bool on_write(vboard::SimTime, std::uint8_t byte) override {
        received.push_back(byte);
        return true;
    }
    std::uint8_t on_read(vboard::SimTime) override { return next++; }
    std::vector<std::uint8_t> received;
    std::uint8_t next = 0;
};

// The companion image stopped at setup, its main thread parked; Wire.begin has run.
class WireBoard : public testing_support::FullImageTest {
  protected:
    // Builds the board with these options (and --fault texts), boots to setup, begins Wire.
    void start(const std::vector<std::string>& faults = {}, const std::string& sensor = "still");

    std::uint32_t wire() { return address_of("Wire"); }
    void begin_transmission(std::uint8_t address);
    std::uint32_t write(std::uint8_t byte);
    std::uint32_t write(const std::vector<std::uint8_t>& bytes);
    std::uint32_t end_transmission(bool stop = true);
    std::uint32_t request_from(std::uint8_t address, std::uint32_t quantity, bool stop = true);
    std::uint32_t available();
    std::uint32_t read();
    std::uint32_t peek();
    // leer_aceleracion with three pointers into RAM.
    std::uint32_t leer_aceleracion();
    std::vector<std::uint8_t> cdatos() { return board().read_bytes(address_of("cdatos"), 6); }

    vboard::I2cBus& bus() { return board().model<vboard::I2cBus>(); }
    // The bus state field of SERCOM5 STATUS.
    unsigned bus_state();
    // Free RAM between the zero-initialised data and the stack, for buffers.
    std::uint32_t scratch(std::uint32_t size);
};

}  // namespace wire_support
