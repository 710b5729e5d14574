// Serial1's line outside the board: an output file, an input file, a
// pseudo-terminal, the framing-error fault, and the wiring from the module's
// pads to PA18 and PA19.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "serial_fixture.h"
#include "src/serial_line.h"

namespace {

using testing_support::kFrameTime;
namespace fs = std::filesystem;

std::string temp_path(const std::string& name) {
    return (fs::temp_directory_path() /
            ("vboard-serial-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

std::string file_contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SerialLineEnds : public SerialPortTest {
  protected:
    void TearDown() override {
        for (const std::string& p : files_) fs::remove(p);
    }
    std::string temp_file(const std::string& name) {
        files_.push_back(temp_path(name));
        return files_.back();
    }
    vboard::BoardOptions options() {
        return testing_support::test_options(testing_support::full_image());
    }

  private:
    std::vector<std::string> files_;
};

TEST_F(SerialLineEnds, AnOutputFileGetsEveryTransmittedByteExactly) {
    const std::string out = temp_file("out");
    vboard::BoardOptions o = options();
    o.uart1_out = out;
    start(o);
    begin("Serial1");
    const std::string text = std::string("banner\t\x01\xFF", 9);
    println("Serial1", text);
    write("Serial1", 0x00);
    run_for(20 * kFrameTime);
    make_board(options());  // closing the board closes the file
    EXPECT_EQ(file_contents(out), text + "\r\n" + std::string(1, '\0'));
}

TEST_F(SerialLineEnds, AnInputFileIsReceivedAtTheLinesRate) {
    const std::string in = temp_file("in");
    const std::string bytes("ping\r\n\x00\xFE", 8);
    std::ofstream(in, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    vboard::BoardOptions o = options();
    o.uart1_in = in;
    start(o);
    begin("Serial1");
    // The far end starts within a service period of the receiver coming on.
    const vboard::SimTime limit = board().now() + 2 * vboard::SerialLine::kServicePeriod;
    while (available("Serial1") == 0 && board().now() < limit) run_for(10 * vboard::kMicrosecond);
    ASSERT_EQ(available("Serial1"), 1);
    // Then the rest back to back, one per frame time.
    run_for(6 * kFrameTime + kFrameTime / 2);
    EXPECT_EQ(available("Serial1"), 7);
    run_for(kFrameTime);
    ASSERT_EQ(available("Serial1"), static_cast<int>(bytes.size()));
    for (char c : bytes) EXPECT_EQ(read("Serial1"), static_cast<std::uint8_t>(c));
}

TEST_F(SerialLineEnds, APseudoTerminalCarriesBothDirections) {
    vboard::BoardOptions o = options();
    o.uart1_pty = true;
    start(o);
    const std::string path = usart(1).line()->pty_path();
    ASSERT_FALSE(path.empty());
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << path;
    termios raw{};
    ASSERT_EQ(tcgetattr(fd, &raw), 0);
    cfmakeraw(&raw);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &raw), 0);

    begin("Serial1");
    println("Serial1", "hello\x7F");
    run_for(10 * vboard::kMillisecond);
    char buffer[64] = {};
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), "hello\x7F\r\n");

    ASSERT_EQ(::write(fd, "\x03ok", 3), 3);
    run_for(10 * vboard::kMillisecond);
    EXPECT_EQ(available("Serial1"), 3);
    for (int c : {0x03, int{'o'}, int{'k'}}) EXPECT_EQ(read("Serial1"), c);
    ::close(fd);
}

TEST_F(SerialLineEnds, TheFrameErrorFaultDeliversItsByteWithAFramingError) {
    vboard::BoardOptions o = options();
    o.faults.push_back(vboard::parse_fault("uart1-frame-error:0x55@30ms"));
    start(o);
    begin("Serial1");
    run_for(40 * vboard::kMillisecond);
    EXPECT_EQ(usart(1).frame_errors(), 1u);
    EXPECT_EQ(sercom_register(1, Usart::kSTATUS, 2), 0u);
    EXPECT_EQ(available("Serial1"), 1);
    EXPECT_EQ(read("Serial1"), 0x55);
}

TEST_F(SerialLineEnds, TheFrameErrorFaultNeedsATime) {
    vboard::BoardOptions o = options();
    o.faults.push_back(vboard::parse_fault("uart1-frame-error"));
    EXPECT_THROW(start(o), std::invalid_argument);
}

// The module transmits, but without the pin multiplexed to SERCOM1 nothing
// reaches the wire; the board reports it.
TEST_F(SerialLineEnds, FramesReachTheLineOnlyThroughPA18) {
    const std::string out = temp_file("unrouted");
    vboard::BoardOptions o = options();
    o.uart1_out = out;
    start(o);
    const std::uint32_t sercom1 = address_of("sercom1");
    call("SERCOM::initUART(SercomUartMode, SercomUartSampleRate, unsigned long)",
         {sercom1, 1, 1, 115200});
    call("SERCOM::initPads(SercomUartTXPad, SercomRXPad)", {sercom1, 1, 3});
    call("SERCOM::enableUART()", {sercom1});
    call("SERCOM::writeDataUART(unsigned char)", {sercom1, 'x'});
    run_for(2 * kFrameTime);
    EXPECT_EQ(transmitted(1), std::vector<std::uint8_t>{'x'});
    EXPECT_GE(board().diagnostics().count(vboard::Finding::Unsupported), 1u);
    make_board(options());
    EXPECT_EQ(file_contents(out), "");
}

}  // namespace
