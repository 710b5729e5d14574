// The ADXL345 driver in the companion image, against the sensor model:
// the start-up configuration as bus transactions, the sample read into
// cdatos, and what a missing or refusing sensor does to it.
#include "models/adxl345.h"
#include "wire_support.h"

namespace {

using namespace vboard;
using namespace wire_support;

constexpr std::uint8_t kIntSource = 0x30, kDataX0 = 0x32;
constexpr SimTime kSclPeriod = 3500 * kNanosecond;  // 285.7 kHz
constexpr unsigned kClocksPerByte = 9;

// X = -1 count, Y = +256 counts (1 g), Z = 0 at 3.9 mg per count.
const char* const kSampleFile =
    "t,x,y,z\n"
    "0,-0.00390625,1,0\n";

class Accelerometer : public WireBoard {
  protected:
    std::uint32_t leer_registro(std::uint8_t reg) { return call("leer_registro", {reg}); }
    void configurar() { call("configurar_acelerometro"); }
    // Configured and past the first sample.
    void measuring() {
        configurar();
        run_for(kMillisecond);
    }
    void preset_cdatos(const std::vector<std::uint8_t>& bytes) {
        board().write_bytes(address_of("cdatos"), bytes);
    }
    Adxl345& sensor() { return board().model<Adxl345>(); }
};

struct Access {
    bool read;
    std::vector<std::uint8_t> bytes;  // for the read: how many bytes, their values unchecked
};

TEST_F(Accelerometer, ConfigurationMakesItsTenAccessesInOrder) {
    start();
    bus().clear_log();
    configurar();
    const std::vector<Access> expected = {
        {false, {0x30}},       {true, {0}},  // leer_registro(INT_SOURCE): pointer, then one byte
        {false, {0x31, 0x0B}}, {false, {0x27, 0x00}}, {false, {0x2A, 0x00}},
        {false, {0x2C, 0x0E}}, {false, {0x2E, 0x00}}, {false, {0x38, 0x00}},
        {false, {0x2F, 0x00}}, {false, {0x2E, 0x00}}, {false, {0x2D, 0x08}},
    };
    ASSERT_EQ(bus().log().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const I2cTransfer& t = bus().log()[i];
        EXPECT_EQ(t.address, kSensor) << i;
        EXPECT_TRUE(t.address_ack) << i;
        EXPECT_EQ(t.read, expected[i].read) << i;
        EXPECT_FALSE(t.repeated_start) << i;
        EXPECT_TRUE(t.stopped) << i;
        if (expected[i].read) {
            EXPECT_EQ(t.bytes.size(), 1u) << i;
            EXPECT_EQ(t.acks, std::vector<bool>{false}) << i;
        } else {
            EXPECT_EQ(t.bytes, expected[i].bytes) << i;
            EXPECT_EQ(t.acks, std::vector<bool>(t.bytes.size(), true)) << i;
        }
    }
    EXPECT_TRUE(sensor().measuring());
    EXPECT_DOUBLE_EQ(sensor().output_rate_hz(), 1600.0);
    EXPECT_EQ(sensor().register_value(Adxl345::kDATA_FORMAT), 0x0B);
    EXPECT_EQ(board().diagnostics().total(), 0u);

    // Every write stores an absolute value: a second run leaves the same sensor.
    std::vector<std::uint8_t> before;
    for (unsigned r = 0; r < Adxl345::kRegisters; ++r) before.push_back(sensor().register_value(r));
    configurar();
    for (unsigned r = 0; r < Adxl345::kRegisters; ++r) {
        if (r < Adxl345::kINT_SOURCE || r > Adxl345::kDATAZ1) {
            EXPECT_EQ(sensor().register_value(r), before[r]) << r;
        }
    }
}

TEST_F(Accelerometer, SampleIsSwappedIntoCdatosHighByteFirst) {
    const TempFile samples(kSampleFile);
    start({}, samples.path());
    measuring();
    const std::uint32_t axes = scratch(6);
    const std::vector<std::uint8_t> untouched = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    board().write_bytes(axes, untouched);
    bus().clear_log();
    EXPECT_EQ(call("leer_aceleracion", {axes, axes + 2, axes + 4}), 1u);
    ASSERT_EQ(bus().log().size(), 2u);
    EXPECT_EQ(bus().log()[0].bytes, std::vector<std::uint8_t>{kDataX0});
    EXPECT_EQ(bus().log()[1].bytes,
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(cdatos(), (std::vector<std::uint8_t>{0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(board().read_bytes(axes, 6), untouched);
}

TEST_F(Accelerometer, StillSensorReadsOneGOnZ) {
    start();
    measuring();
    ASSERT_EQ(leer_aceleracion(), 1u);
    const std::vector<std::uint8_t> c = cdatos();
    const auto z = static_cast<std::int16_t>(c[4] << 8 | c[5]);
    EXPECT_NEAR(z, 256, 8);
}

TEST_F(Accelerometer, RegisterHolding0xFFReadsAs0xFF) {
    const TempFile samples(kSampleFile);
    start({}, samples.path());
    measuring();
    EXPECT_EQ(leer_registro(kDataX0), 0xFFu);
    EXPECT_EQ(leer_registro(0x00), 0xE5u);  // DEVID
}

TEST_F(Accelerometer, ShortReadReturns0AndKeepsCdatos) {
    start({"sensor-absent:read"});
    configurar();
    run_for(kMillisecond);
    const std::vector<std::uint8_t> last = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    preset_cdatos(last);
    bus().clear_log();
    EXPECT_EQ(leer_aceleracion(), 0u);
    EXPECT_EQ(cdatos(), last);
    ASSERT_EQ(bus().log().size(), 2u);
    EXPECT_TRUE(bus().log()[0].address_ack);
    EXPECT_FALSE(bus().log()[1].address_ack);
}

TEST_F(Accelerometer, AbsentSensorMakesEveryReadFailWithoutBlocking) {
    start({"sensor-absent"});
    configurar();
    const SimTime before = board().now();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(leer_aceleracion(), 0u) << i;
    EXPECT_EQ(cdatos(), std::vector<std::uint8_t>(6, 0));
    EXPECT_EQ(leer_registro(0x00), 0xFFu);
    EXPECT_LT(board().now() - before, kMillisecond);
}

TEST_F(Accelerometer, RefusedPointerWriteGivesNoSampleRatherThanOtherRegisters) {
    // The sensor refuses one byte: the register pointer of the next read.
    start({"sensor-nack"});
    const std::vector<std::uint8_t> last = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    preset_cdatos(last);
    bus().clear_log();
    EXPECT_EQ(leer_aceleracion(), 0u);
    EXPECT_EQ(cdatos(), last);
    EXPECT_EQ(bus().log().size(), 1u) << "no read after a refused pointer";
    // The fault is spent: the next read is a good one.
    EXPECT_EQ(leer_aceleracion(), 1u);
}

TEST_F(Accelerometer, RefusedPointerWriteMakesLeerRegistroFail) {
    start({"sensor-nack"});
    EXPECT_EQ(leer_registro(Adxl345::kBW_RATE), 0xFFu);
    EXPECT_EQ(leer_registro(Adxl345::kBW_RATE), 0x0Au);
}

TEST_F(Accelerometer, BusTimeOfOneSample) {
    start();
    measuring();
    bus().clear_log();
    ASSERT_EQ(leer_aceleracion(), 1u);
    ASSERT_EQ(bus().log().size(), 2u);
    const I2cTransfer& pointer = bus().log()[0];
    const I2cTransfer& sample = bus().log()[1];
    const SimTime bus_time = sample.end - pointer.start;
    // Two address bytes, the pointer and six data bytes, nine clocks each.
    constexpr unsigned kBits = (2 + 1 + 6) * kClocksPerByte;
    const SimTime bits_time = kBits * kSclPeriod;
    std::printf(
        "leer_aceleracion: bus time %.1f us (first START to last STOP); %u bits at 285.7 kHz: %.1f "
        "us\n",
        to_seconds(bus_time) * 1e6, kBits, to_seconds(bits_time) * 1e6);
    RecordProperty("bus_time_us", std::to_string(to_seconds(bus_time) * 1e6));
    EXPECT_EQ(pointer.address_done - pointer.start, kClocksPerByte * kSclPeriod);
    EXPECT_EQ(sample.address_done - sample.start, kClocksPerByte * kSclPeriod);
    EXPECT_GE(bus_time, bits_time);
    EXPECT_LT(bus_time, bits_time + 200 * kMicrosecond) << "the firmware's own time between bytes";
}

TEST_F(Accelerometer, StalledBusHoldsTheReadUntilTheClockIsReleased) {
    constexpr SimTime kReleased = 400 * kMillisecond;
    start({"scl-low@300ms..400ms"});
    measuring();
    run_for(300 * kMillisecond - board().now() - 50 * kMicrosecond);
    EXPECT_EQ(leer_aceleracion(), 1u);
    EXPECT_GT(board().now(), kReleased);
}

}  // namespace
