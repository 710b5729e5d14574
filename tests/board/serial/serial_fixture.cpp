#include "serial_fixture.h"

namespace testing_support {

namespace {
constexpr std::uint32_t kScratchAlign = 16;
constexpr std::uint32_t kScratchGap = 64;  // clear of the last object
// The parking loop, clear of the buffers the tests put in the scratch area.
constexpr std::uint32_t kParkingOffset = 0x600;
constexpr std::uint16_t kThumbBranchToSelf = 0xE7FE;
}  // namespace

void SerialPortTest::start() {
    start(test_options(full_image()));
}

void SerialPortTest::start(const vboard::BoardOptions& options) {
    make_board(options);
    boot_to("setup");
    const std::uint32_t parking = scratch() + kParkingOffset;
    board().write16(parking, kThumbBranchToSelf);
    board().cpu().set_pc(parking);
}

vboard::SercomUsart& SerialPortTest::usart(unsigned module) {
    for (const auto& m : board().models())
        if (auto* s = dynamic_cast<vboard::Sercom*>(m.get()); s && s->index() == module)
            return s->usart();
    throw std::logic_error("no SERCOM" + std::to_string(module));
}

std::uint32_t SerialPortTest::sercom_register(unsigned module, std::uint32_t offset,
                                              unsigned width) {
    const std::uint32_t address = vboard::Sercom::kBases[module] + offset;
    switch (width) {
        case 1:
            return board().read8(address);
        case 2:
            return board().read16(address);
        default:
            return board().read32(address);
    }
}

void SerialPortTest::begin(const std::string& port, std::uint32_t baud) {
    call("Uart::begin(unsigned long)", {address_of(port), baud});
}

void SerialPortTest::begin(const std::string& port, std::uint32_t baud, std::uint16_t config) {
    call("Uart::begin(unsigned long, unsigned short)", {address_of(port), baud, config});
}

void SerialPortTest::end(const std::string& port) {
    call("Uart::end()", {address_of(port)});
}

std::uint32_t SerialPortTest::write(const std::string& port, std::uint8_t byte) {
    return call("Uart::write(unsigned char)", {address_of(port), byte});
}

std::uint32_t SerialPortTest::write(const std::string& port,
                                    const std::vector<std::uint8_t>& bytes) {
    const std::uint32_t buffer = scratch();
    board().write_bytes(buffer, bytes);
    return call("Print::write(unsigned char const*, unsigned int)",
                {address_of(port), buffer, static_cast<std::uint32_t>(bytes.size())});
}

std::uint32_t SerialPortTest::println(const std::string& port, const std::string& text) {
    const std::uint32_t buffer = scratch();
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    board().write_bytes(buffer, bytes);
    return call("Print::println(char const*)", {address_of(port), buffer});
}

int SerialPortTest::available(const std::string& port) {
    return static_cast<int>(call("Uart::available()", {address_of(port)}));
}

int SerialPortTest::available_for_write(const std::string& port) {
    return static_cast<int>(call("Uart::availableForWrite()", {address_of(port)}));
}

int SerialPortTest::read(const std::string& port) {
    return static_cast<int>(call("Uart::read()", {address_of(port)}));
}

int SerialPortTest::peek(const std::string& port) {
    return static_cast<int>(call("Uart::peek()", {address_of(port)}));
}

std::uint32_t SerialPortTest::scratch() {
    const std::uint32_t end = address_of("__bss_end__") + kScratchGap;
    return (end + kScratchAlign - 1) & ~(kScratchAlign - 1);
}

std::vector<std::uint8_t> SerialPortTest::transmitted(unsigned module, std::size_t first) {
    std::vector<std::uint8_t> bytes;
    const auto& log = usart(module).transmitted();
    for (std::size_t i = first; i < log.size(); ++i)
        bytes.push_back(static_cast<std::uint8_t>(log[i].data));
    return bytes;
}

}  // namespace testing_support
