#include "wire_support.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "models/sercom_i2c_master.h"

namespace wire_support {

namespace {
constexpr std::uint32_t kSercom5Status = 0x43000400 + vboard::SercomI2cMaster::kSTATUS;
constexpr std::uint32_t kStackReserve = 2048;  // stays clear of the stack at the top of RAM
constexpr std::uint32_t kRamEnd = 0x20004000;
}  // namespace

TempFile::TempFile(const std::string& content) {
    char name[] = "/tmp/wire_test_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = name;
    std::ofstream(path_) << content;
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

void WireBoard::start(const std::vector<std::string>& faults, const std::string& sensor) {
    vboard::BoardOptions options = testing_support::test_options(testing_support::full_image());
    for (const std::string& f : faults) options.faults.push_back(vboard::parse_fault(f));
    options.sensor = sensor;
    make_board(options);
    boot_to("setup");
    park_main_thread();
    call("TwoWire::begin", {wire()});
}

void WireBoard::begin_transmission(std::uint8_t address) {
    call("TwoWire::beginTransmission", {wire(), address});
}

std::uint32_t WireBoard::write(std::uint8_t byte) {
    return call("TwoWire::write(unsigned char)", {wire(), byte});
}

std::uint32_t WireBoard::write(const std::vector<std::uint8_t>& bytes) {
    const std::uint32_t buffer = scratch(static_cast<std::uint32_t>(bytes.size()));
    board().write_bytes(buffer, bytes);
    return call("TwoWire::write(unsigned char const*, unsigned int)",
                {wire(), buffer, static_cast<std::uint32_t>(bytes.size())});
}

std::uint32_t WireBoard::end_transmission(bool stop) {
    return call("TwoWire::endTransmission(bool)", {wire(), stop});
}

std::uint32_t WireBoard::request_from(std::uint8_t address, std::uint32_t quantity, bool stop) {
    return call("TwoWire::requestFrom(unsigned char, unsigned int, bool)",
                {wire(), address, quantity, stop});
}

std::uint32_t WireBoard::available() {
    return call("TwoWire::available", {wire()});
}
std::uint32_t WireBoard::read() {
    return call("TwoWire::read", {wire()});
}
std::uint32_t WireBoard::peek() {
    return call("TwoWire::peek", {wire()});
}

std::uint32_t WireBoard::leer_aceleracion() {
    const std::uint32_t axes = scratch(3 * sizeof(std::int16_t));
    return call("leer_aceleracion", {axes, axes + 2, axes + 4});
}

unsigned WireBoard::bus_state() {
    using M = vboard::SercomI2cMaster;
    return (board().read16(kSercom5Status) & M::kBusStateMask) >> M::kBusStatePos;
}

std::uint32_t WireBoard::scratch(std::uint32_t size) {
    const std::uint32_t start = (address_of("__bss_end__") + 7u) & ~7u;
    if (start + size > kRamEnd - kStackReserve)
        throw std::logic_error("no room for a scratch buffer");
    return start;
}

}  // namespace wire_support
