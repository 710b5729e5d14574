// The application's pin roles (PinConfig) and the start values of its
// working state (inicializacion_dispositivo), called one at a time.
#include <cstddef>
#include <cstring>

#include "../../../firmware/app/globals.h"
#include "board_fixture.h"
#include "models/port.h"
#include "start_values.h"

namespace {

using namespace vboard;

// Board pin number to the port pin it is wired to (the board's pin table).
struct PinRole {
    unsigned board_pin;
    unsigned port_pin;
    bool output;
    bool level;  // outputs: level after PinConfig(1)
    Pull pull;   // inputs
};

constexpr PinRole kOutputs[] = {
    {6, 16, true, true, Pull::None},  {7, 17, true, true, Pull::None},
    {8, 4, true, false, Pull::None},  {9, 5, true, false, Pull::None},
    {10, 6, true, false, Pull::None}, {11, 7, true, false, Pull::None},
};
constexpr PinRole kPullUp = {22, 3, false, true, Pull::Up};
constexpr PinRole kPullDowns[] = {{16, 24, false, false, Pull::Down},
                                  {17, 25, false, false, Pull::Down}};

class PinRoles : public FullImageTest {
  protected:
    void SetUp() override { boot_to("setup"); }
    Port& port() { return board().model<Port>(); }
    void pin_config(std::uint32_t cinicial) { call("PinConfig(unsigned char)", {cinicial}); }
    std::vector<PinView> all_pins() {
        std::vector<PinView> pins;
        for (unsigned n = 0; n < Port::kPins; ++n) pins.push_back(port().pin(n));
        return pins;
    }
    static bool same(const PinView& a, const PinView& b) {
        return a.output == b.output && a.out == b.out && a.pull == b.pull &&
               a.input_enabled == b.input_enabled && a.muxed == b.muxed &&
               a.function == b.function && a.strong_drive == b.strong_drive;
    }
    static bool is_role_pin(unsigned port_pin) {
        for (const PinRole& r : kOutputs)
            if (r.port_pin == port_pin) return true;
        for (const PinRole& r : kPullDowns)
            if (r.port_pin == port_pin) return true;
        return port_pin == kPullUp.port_pin;
    }
};

TEST_F(PinRoles, StartUpValueGivesEveryRoleItsModeAndLevel) {
    const std::vector<PinView> before = all_pins();
    pin_config(1);
    for (const PinRole& r : kOutputs) {
        const PinView v = port().pin(r.port_pin);
        EXPECT_TRUE(v.output) << "pin " << r.board_pin;
        EXPECT_EQ(v.level, r.level) << "pin " << r.board_pin;
    }
    const PinView up = port().pin(kPullUp.port_pin);
    EXPECT_FALSE(up.output);
    EXPECT_EQ(up.pull, Pull::Up);
    for (const PinRole& r : kPullDowns) {
        const PinView v = port().pin(r.port_pin);
        EXPECT_FALSE(v.output) << "pin " << r.board_pin;
        EXPECT_EQ(v.pull, Pull::Down) << "pin " << r.board_pin;
    }
    for (unsigned n = 0; n < Port::kPins; ++n)
        if (!is_role_pin(n)) {
            EXPECT_TRUE(same(before[n], port().pin(n))) << "PA" << n << " touched";
        }
}

class PinRolesOtherValue : public PinRoles, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(PinRolesOtherValue, SetsOnlyTheOutputsAndThePullUp) {
    // Levels other than the ones PinConfig(1) writes, to see that none is written.
    for (const PinRole& r : kOutputs)
        board().write32(Port::kBase + (r.level ? Port::kOUTCLR : Port::kOUTSET), 1u << r.port_pin);
    const std::vector<PinView> before = all_pins();
    pin_config(GetParam());
    for (const PinRole& r : kOutputs) {
        const PinView v = port().pin(r.port_pin);
        EXPECT_TRUE(v.output) << "pin " << r.board_pin;
        EXPECT_EQ(v.out, before[r.port_pin].out) << "pin " << r.board_pin << ": level written";
    }
    EXPECT_EQ(port().pin(kPullUp.port_pin).pull, Pull::Up);
    for (const PinRole& r : kPullDowns)
        EXPECT_TRUE(same(before[r.port_pin], port().pin(r.port_pin)))
            << "pin " << r.board_pin << " configured";
}

INSTANTIATE_TEST_SUITE_P(Values, PinRolesOtherValue, ::testing::Values(0u, 2u, 0xFFu));

// The working state and configuration records, poisoned before the call so
// that a value the routine does not store shows.
class StartValues : public FullImageTest {
  protected:
    static constexpr std::uint8_t kPoison = 0xA5;
    void SetUp() override {
        boot_to("setup");
        for (const char* name :
             {"cled_estado", "test", "fmedida", "cimpacto_leve", "iretardo_impacto_leve",
              "itemporizado_impacto_leve", "cimpacto_grave", "iretardo_impacto_grave",
              "itemporizado_impacto_grave", "fvalores_leve", "fvalores_grave", "config_impacto",
              "config_inclinacion", "cmuestras_filtro"}) {
            const Symbol& s = board().image().symbol(name);
            board().write_bytes(s.address, std::vector<std::uint8_t>(s.size, kPoison));
        }
        call("inicializacion_dispositivo");
    }
    template <class T>
    T global(const std::string& name, std::size_t offset = 0) {
        T v;
        const std::vector<std::uint8_t> bytes =
            board().read_bytes(address_of(name) + offset, sizeof(T));
        std::memcpy(&v, bytes.data(), sizeof(T));
        return v;
    }
};

TEST_F(StartValues, ConfigurationRecordsHoldTheStartValues) {
    EXPECT_EQ(read8("cmuestras_filtro"), 5u);
    const auto impacto = global<stconfig_impacto>("config_impacto");
    expect_impact_start_values(impacto);
    const auto inclinacion = global<stconfig_inclinacion>("config_inclinacion");
    EXPECT_EQ(inclinacion.cenable_permanente, 0u);
    EXPECT_EQ(inclinacion.cenable_basculante, 0u);
    // Left to the configuration load.
    EXPECT_EQ(inclinacion.ceje, kPoison);
    EXPECT_EQ(inclinacion.cumbral_permanente, kPoison);
    EXPECT_EQ(inclinacion.cinvertir_permanente, kPoison);
    EXPECT_EQ(inclinacion.cinvertir_basculante, kPoison);
}

TEST_F(StartValues, WorkingStateHoldsTheStartValues) {
    EXPECT_EQ(read8("cled_estado"), 1u);
    const auto t = global<sttest>("test");
    EXPECT_EQ(t.en_test, 0u);
    EXPECT_EQ(t.test_rapido, 0u);
    EXPECT_EQ(t.posicion_test_rapido, 0u);
    EXPECT_EQ(t.test_acelerometro, kPoison) << "not written";
    EXPECT_EQ(global<float>("fmedida"), 0.0f);
    for (const char* name : {"cimpacto_leve", "cimpacto_grave"}) EXPECT_EQ(read8(name), 0u) << name;
    for (const char* name : {"iretardo_impacto_leve", "itemporizado_impacto_leve",
                             "iretardo_impacto_grave", "itemporizado_impacto_grave"})
        EXPECT_EQ(global<std::uint16_t>(name), 0u) << name;
    for (const char* name : {"fvalores_leve", "fvalores_grave"})
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(global<float>(name, 4 * i), 0.0f) << name << "[" << i << "]";
}

}  // namespace
