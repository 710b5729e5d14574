// The shipped image's start-up, end to end: the banner on Serial1, the
// start-up pin, the start values ahead of the configuration load, and the
// time from reset to the first frame.
#include <cstdio>
#include <cstring>

#include "../../../firmware/app/globals.h"
#include "board_fixture.h"
#include "models/port.h"
#include "models/wdt.h"
#include "start_values.h"
#include "stream_support.h"

namespace {

using namespace vboard;
using namespace stream_support;

constexpr unsigned kStartupPortPin = 16;  // board pin 6 is PA16

class StartUp : public BoardTest {};

TEST_F(StartUp, FirstBytesAreTheBannerThenOnlyFrames) {
    run_for(500 * kMillisecond);
    const std::vector<LineByte> bytes = boot_bytes(board(), 0);
    ASSERT_GE(bytes.size(), banner().size());
    EXPECT_EQ(text_of(bytes, 0, banner().size()), banner());
    const std::vector<Frame> frames = frames_after_banner(bytes);
    ASSERT_GT(frames.size(), 100u);
    for (const Frame& f : frames)
        ASSERT_TRUE(has_header(f)) << "frame at " << to_seconds(f.start) << " s";
}

TEST_F(StartUp, BannerBytesGoOutBackToBack) {
    run_for(100 * kMillisecond);
    const std::vector<LineByte> bytes = boot_bytes(board(), 0);
    ASSERT_GE(bytes.size(), banner().size());
    const SimTime frame_time = serial1(board()).frame_time();
    for (std::size_t i = 1; i < banner().size(); ++i)
        ASSERT_EQ(bytes[i].start - bytes[i - 1].start, frame_time) << "gap before byte " << i;
}

TEST_F(StartUp, StartUpPinIsHighFromPinConfigToTheEndOfSetup) {
    boot_to("PinConfig");
    for (const PinChange& c : board().model<Port>().changes()) EXPECT_NE(c.pin, kStartupPortPin);
    ASSERT_EQ(board().run_until(board().cpu().reg(UC_ARM_REG_LR)).reason, StopReason::Breakpoint);
    const SimTime configured = board().now();
    EXPECT_TRUE(board().model<Port>().pin(kStartupPortPin).output);
    EXPECT_TRUE(board().model<Port>().pin(kStartupPortPin).level);
    boot_to("configurar_acelerometro");
    EXPECT_TRUE(board().model<Port>().pin(kStartupPortPin).level);
    boot_to("loop");
    EXPECT_FALSE(board().model<Port>().pin(kStartupPortPin).level);
    run_for(2 * kSecond);
    std::vector<PinChange> later;
    for (const PinChange& c : board().model<Port>().changes())
        if (c.pin == kStartupPortPin && c.time > configured) later.push_back(c);
    ASSERT_EQ(later.size(), 1u) << "one change after PinConfig";
    EXPECT_FALSE(later[0].level);
    const std::vector<LineByte> bytes = boot_bytes(board(), 0);
    EXPECT_LT(configured, bytes.front().start) << "high before the banner";
    EXPECT_GT(later[0].time, bytes[banner().size() - 1].start) << "low after the banner";
}

TEST_F(StartUp, StartValuesAreInPlaceWhenTheConfigurationLoadBegins) {
    boot_to("verificacion_memoria");
    EXPECT_EQ(read8("cmuestras_filtro"), 5u);
    stconfig_impacto impacto;
    const std::vector<std::uint8_t> raw =
        board().read_bytes(address_of("config_impacto"), sizeof impacto);
    std::memcpy(&impacto, raw.data(), sizeof impacto);
    expect_impact_start_values(impacto);
}

TEST_F(StartUp, WatchdogIsArmedAndItsFlagIsClearAfterStartUp) {
    run_for(3 * kSecond);
    EXPECT_TRUE(board().model<Wdt>().running());
    EXPECT_GT(board().model<Wdt>().timeout_at() - board().now(), 2 * kSecond - 5 * kMillisecond)
        << "kicked";
    EXPECT_FALSE(read8("vardo_wdt_flag"));
    EXPECT_EQ(board().resets().size(), 1u);
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

// Reset to first frame, on a first boot (blank storage: the factory record
// is written) and on the boot after it (the record is only read), with the
// time each start-up step begins. Figures for the release notes are printed.
TEST_F(StartUp, FirstFrameFollowsTheResetWithinTheWatchdogPeriod) {
    const std::vector<std::string> steps = {"PinConfig",
                                            "Uart::begin(unsigned long)",
                                            "TwoWire::begin()",
                                            "vardo_wdt_enable(wdt_period)",
                                            "mensaje_de_bienvenida()",
                                            "verificacion_memoria()",
                                            "cargar_estructuras_configuracion()",
                                            "configurar_acelerometro()",
                                            "loop()",
                                            "millis"};
    std::vector<SimTime> first_frames;
    for (const char* name : {"first boot", "later boot"}) {
        if (!first_frames.empty()) {
            board().power_cut();
            board().power_on();
        }
        const SimTime reset = board().resets().back().time;
        std::printf("%s:", name);
        for (const std::string& step : steps) {
            ASSERT_EQ(board().run_until(step, kSecond).reason, StopReason::Breakpoint) << step;
            std::printf(" %s %.3f ms;", step.c_str(), to_seconds(board().now() - reset) * 1e3);
        }
        run_for(500 * kMillisecond);
        const std::vector<LineByte> bytes = boot_bytes(board(), board().resets().size() - 1);
        ASSERT_GT(bytes.size(), banner().size());
        const SimTime byte_time = serial1(board()).frame_time();
        const SimTime first_frame = bytes[banner().size()].start;
        std::printf(" banner on the line %.3f to %.3f ms; first frame on the line %.3f ms\n",
                    to_seconds(bytes.front().start - reset) * 1e3,
                    to_seconds(bytes[banner().size() - 1].start + byte_time - reset) * 1e3,
                    to_seconds(first_frame - reset) * 1e3);
        EXPECT_LT(first_frame - reset, 2 * kSecond)
            << name << ": the first kick in loop comes too late";
        first_frames.push_back(first_frame - reset);
    }
    EXPECT_LE(first_frames[1], first_frames[0]) << "the later boot writes nothing to flash";
}

}  // namespace
