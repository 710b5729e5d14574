// The ADXL345 model, reached through the board's I2C bus directly (no
// firmware involved): register pointer, standby and output data rate,
// coding and clipping, INT_SOURCE, latching, power and the sensor faults.
#include <functional>

#include "board_fixture.h"
#include "models/adxl345.h"
#include "models/i2c_bus.h"

namespace {

using namespace vboard;

constexpr std::uint8_t kWrite = Adxl345::kAddress << 1, kRead = (Adxl345::kAddress << 1) | 1;

class FunctionSource : public AccelSource {
  public:
    explicit FunctionSource(std::function<Acceleration(SimTime)> f) : f_(std::move(f)) {}
    Acceleration at(SimTime t) const override { return f_(t); }
    std::string describe() const override { return "test"; }

  private:
    std::function<Acceleration(SimTime)> f_;
};

class Adxl345Model : public BoardTest {
  protected:
    I2cBus& bus() { return board().model<I2cBus>(); }
    Adxl345& sensor() { return board().model<Adxl345>(); }
    void use(std::function<Acceleration(SimTime)> f) {
        sensor().set_source(std::make_unique<FunctionSource>(f));
    }
    void use_constant(double x, double y, double z) {
        use([=](SimTime) { return Acceleration{x, y, z}; });
    }

    bool write(SimTime t, std::uint8_t reg, const std::vector<std::uint8_t>& values) {
        bool ack = bus().start(t, kWrite, t);
        ack = bus().write_byte(t, reg) && ack;
        for (std::uint8_t v : values) ack = bus().write_byte(t, v) && ack;
        bus().stop(t);
        return ack;
    }
    std::vector<std::uint8_t> read(SimTime t, std::uint8_t reg, std::size_t n,
                                   SimTime per_byte = 0) {
        write(t, reg, {});
        std::vector<std::uint8_t> bytes;
        if (!bus().start(t, kRead, t)) {
            bus().stop(t);
            return bytes;
        }
        for (std::size_t i = 0; i < n; ++i) {
            bytes.push_back(bus().read_byte(t + i * per_byte));
            bus().master_ack(t + i * per_byte, i + 1 < n);
        }
        bus().stop(t + n * per_byte);
        return bytes;
    }
    std::uint8_t read1(SimTime t, std::uint8_t reg) { return read(t, reg, 1).at(0); }
    // DATAX0..DATAZ1 as three signed codes.
    std::array<std::int16_t, 3> sample(SimTime t) {
        const std::vector<std::uint8_t> b = read(t, Adxl345::kDATAX0, 6);
        return {static_cast<std::int16_t>(b[0] | b[1] << 8),
                static_cast<std::int16_t>(b[2] | b[3] << 8),
                static_cast<std::int16_t>(b[4] | b[5] << 8)};
    }
    void measure(SimTime t, std::uint8_t rate = 0x0E, std::uint8_t format = 0x0B) {
        write(t, Adxl345::kDATA_FORMAT, {format});
        write(t, Adxl345::kBW_RATE, {rate});
        write(t, Adxl345::kPOWER_CTL, {Adxl345::kMeasure});
    }
};

TEST_F(Adxl345Model, PowersUpWithDevidAndInStandby) {
    EXPECT_EQ(read1(0, Adxl345::kDEVID), 0xE5);
    EXPECT_EQ(read1(0, Adxl345::kBW_RATE), 0x0A);
    EXPECT_EQ(read1(0, Adxl345::kPOWER_CTL), 0x00);
    EXPECT_FALSE(sensor().measuring());
    // Standby: the data registers stay zero however long one waits.
    EXPECT_EQ(read(5 * kSecond, Adxl345::kDATAX0, 6), std::vector<std::uint8_t>(6, 0));
}

TEST_F(Adxl345Model, RegisterPointerMovesOnWithEveryByteWrittenOrRead) {
    EXPECT_TRUE(write(0, Adxl345::kOFSX, {1, 2, 3, 4}));  // OFSX, OFSY, OFSZ, DUR
    EXPECT_EQ(read(0, Adxl345::kOFSX, 3), (std::vector<std::uint8_t>{1, 2, 3}));
    // A read without a pointer write goes on from where the last one stopped.
    ASSERT_TRUE(bus().start(0, kRead, 0));
    EXPECT_EQ(bus().read_byte(0), 4);
    bus().master_ack(0, false);
    bus().stop(0);
}

TEST_F(Adxl345Model, MeasureStartsSamplingAtTheOutputDataRate) {
    // X ramps at 100 g per second from 1 s on: 16 counts per 1600 Hz period.
    auto ramp = [](SimTime t) { return (to_seconds(t) - 1.0) * 100; };
    use([ramp](SimTime t) { return Acceleration{ramp(t), 0, 1}; });
    constexpr SimTime kStart = kSecond;
    constexpr SimTime kPeriod = 625 * kMicrosecond;  // 1600 Hz
    measure(kStart);
    EXPECT_DOUBLE_EQ(sensor().output_rate_hz(), 1600.0);
    EXPECT_EQ(sample(kStart + kPeriod - 1)[2], 0) << "no sample before the first period";
    EXPECT_EQ(sample(kStart + kPeriod)[2], 256);
    // Sample n is the source at the start plus n periods, until the next one.
    const SimTime tenth = kStart + 10 * kPeriod;
    const auto expected = static_cast<std::int16_t>(std::lround(ramp(tenth) * 256));
    ASSERT_EQ(expected, 160);
    EXPECT_EQ(sample(tenth)[0], expected);
    EXPECT_EQ(sample(tenth + kPeriod - 1)[0], expected);
    EXPECT_GT(sample(tenth + kPeriod)[0], expected);
}

TEST_F(Adxl345Model, RateCodesGiveTheirPeriods) {
    struct Case {
        std::uint8_t bw_rate;
        SimTime period;
    };
    const Case cases[] = {
        {0x0F, 312500 * kNanosecond}, {0x0E, 625 * kMicrosecond},   {0x0A, 10 * kMillisecond},
        {0x06, 160 * kMillisecond},   {0x00, 10240 * kMillisecond},
    };
    for (const Case& c : cases) {
        write(0, Adxl345::kBW_RATE, {c.bw_rate});
        EXPECT_EQ(sensor().output_period(), c.period) << "BW_RATE 0x" << std::hex << int(c.bw_rate);
    }
}

TEST_F(Adxl345Model, CodingFollowsDataFormatAndClipsAtTheCodeRange) {
    struct Case {
        std::uint8_t format;
        double g;
        std::int16_t code;
    };
    const Case cases[] = {
        {0x0B, 1.0, 256},                              // full resolution: 3.9 mg per count
        {0x0B, -1.0 / 256, -1},                        // right-justified, sign-extended
        {0x0B, 15.99, 4093},    {0x0B, 20.0, 4095},    // 13 bits at +-16 g: clipped
        {0x0B, -20.0, -4096},   {0x08, 3.0, 511},      // full resolution at +-2 g: 10 bits
        {0x00, 1.0, 256},                              // 10 bits, +-2 g
        {0x03, 1.0, 32},                               // 10 bits, +-16 g: 31.2 mg per count
        {0x03, -20.0, -512},    {0x0F, 1.0, 256 * 8},  // left-justified: 13 bits at the top
    };
    constexpr SimTime kStart = kSecond, kAfterFirstSample = kStart + 700 * kMicrosecond;
    for (const Case& c : cases) {
        make_board(testing_support::test_options());
        use_constant(c.g, -c.g, 0.0);
        measure(kStart, 0x0E, c.format);
        const auto s = sample(kAfterFirstSample);
        EXPECT_EQ(s[0], c.code) << "DATA_FORMAT 0x" << std::hex << int(c.format) << ", " << c.g
                                << " g";
    }
}

TEST_F(Adxl345Model, OffsetRegistersAddFifteenPointSixMilligPerCount) {
    use_constant(0, 0, 1);
    write(0, Adxl345::kOFSZ, {0xFC});  // -4: -62.5 mg
    measure(kSecond);
    EXPECT_EQ(sample(kSecond + kMillisecond)[2], 256 - 16);
}

TEST_F(Adxl345Model, IntSourceFlagsNewDataAndOverrunAndIsClearedByItsRead) {
    use_constant(0, 0, 1);
    constexpr SimTime kStart = kSecond, kPeriod = 625 * kMicrosecond;
    measure(kStart);
    EXPECT_EQ(read1(kStart + kPeriod / 2, Adxl345::kINT_SOURCE), 0x00);
    EXPECT_EQ(read1(kStart + kPeriod, Adxl345::kINT_SOURCE), Adxl345::kDataReady);
    EXPECT_EQ(read1(kStart + kPeriod + 1, Adxl345::kINT_SOURCE), 0x00);
    EXPECT_EQ(read1(kStart + 3 * kPeriod, Adxl345::kINT_SOURCE),
              Adxl345::kDataReady | Adxl345::kOverrun);
    // Reading the data clears DATA_READY as well.
    sample(kStart + 4 * kPeriod);
    EXPECT_EQ(read1(kStart + 4 * kPeriod + 1, Adxl345::kINT_SOURCE), 0x00);
}

TEST_F(Adxl345Model, AMultiByteReadSeesOneSampleThroughout) {
    // 1000 g per second: 160 counts from one sample to the next.
    use([](SimTime t) {
        const double g = (to_seconds(t) - 1.0) * 1000;
        return Acceleration{g, g, g};
    });
    constexpr SimTime kStart = kSecond, kPeriod = 625 * kMicrosecond;
    measure(kStart);
    // Six bytes at 100 us each, begun just before a new sample is due.
    const std::vector<std::uint8_t> b =
        read(kStart + 2 * kPeriod - 10 * kMicrosecond, Adxl345::kDATAX0, 6, 100 * kMicrosecond);
    EXPECT_EQ(b[0], b[4]);
    EXPECT_EQ(b[1], b[5]);
}

TEST_F(Adxl345Model, OnlyAPowerCycleReachesTheSensor) {
    measure(kSecond);
    board().reset(ResetCause::Watchdog);
    EXPECT_TRUE(sensor().measuring());
    board().reset(ResetCause::PowerOn);
    EXPECT_FALSE(sensor().measuring());
    EXPECT_EQ(sensor().register_value(Adxl345::kBW_RATE), Adxl345::kBwRateReset);
}

TEST_F(Adxl345Model, WritesOfFunctionsTheModelLacksAreReported) {
    write(0, Adxl345::kINT_ENABLE, {0x00});
    write(0, Adxl345::kTAP_AXES, {0x00});
    EXPECT_EQ(board().diagnostics().total(), 0u);
    write(0, Adxl345::kTAP_AXES, {0x07});
    write(0, Adxl345::kDEVID, {0x12});
    EXPECT_EQ(board().diagnostics().count(Finding::UnmodelledField), 1u);
    EXPECT_EQ(board().diagnostics().count(Finding::ReadOnlyWrite), 1u);
    EXPECT_EQ(read1(0, Adxl345::kDEVID), 0xE5);
}

class Adxl345Faults : public Adxl345Model {
  protected:
    void start_with(const std::vector<std::string>& faults) {
        BoardOptions options = testing_support::test_options();
        for (const std::string& f : faults) options.faults.push_back(parse_fault(f));
        make_board(options);
    }
};

TEST_F(Adxl345Faults, AbsentSensorAcknowledgesNothingInItsWindow) {
    start_with({"sensor-absent@1s..2s"});
    EXPECT_TRUE(bus().start(500 * kMillisecond, kWrite, 500 * kMillisecond));
    bus().stop(500 * kMillisecond);
    EXPECT_FALSE(bus().start(1500 * kMillisecond, kWrite, 1500 * kMillisecond));
    bus().stop(1500 * kMillisecond);
    EXPECT_TRUE(bus().start(2 * kSecond, kRead, 2 * kSecond));
    bus().stop(2 * kSecond);
}

TEST_F(Adxl345Faults, AbsenceCanBeForOneDirection) {
    start_with({"sensor-absent:read"});
    EXPECT_TRUE(write(0, Adxl345::kDEVID, {}));
    EXPECT_TRUE(read(0, Adxl345::kDEVID, 1).empty());
    EXPECT_THROW(start_with({"sensor-absent:sideways"}), std::invalid_argument);
}

TEST_F(Adxl345Faults, NackRefusesTheNextDataBytesThenAcceptsAgain) {
    start_with({"sensor-nack:2@1s"});
    EXPECT_TRUE(write(0, Adxl345::kOFSX, {5}));
    bus().start(kSecond, kWrite, kSecond);
    EXPECT_FALSE(bus().write_byte(kSecond, Adxl345::kOFSY));  // the pointer byte is refused...
    EXPECT_FALSE(bus().write_byte(kSecond, 7));
    EXPECT_TRUE(bus().write_byte(kSecond, Adxl345::kOFSY));  // ...so this one is the pointer
    EXPECT_TRUE(bus().write_byte(kSecond, 9));
    bus().stop(kSecond);
    EXPECT_EQ(sensor().register_value(Adxl345::kOFSX), 5);
    EXPECT_EQ(sensor().register_value(Adxl345::kOFSY), 9);
    const I2cTransfer& t = bus().log().back();
    EXPECT_EQ(t.acks, (std::vector<bool>{false, false, true, true}));
}

}  // namespace
