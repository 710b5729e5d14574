// The configuration dump: with cdebug set, the load prints the values it
// ended with on Serial1, before any rewrite.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "models/sercom.h"
#include "models/sercom_usart.h"
#include "storage_support.h"

namespace {

using namespace storage_support;

constexpr unsigned kSerial1Module = 1;
constexpr std::uint32_t kBaud = 115200;
constexpr vboard::SimTime kDrainTime = 20 * vboard::kMillisecond;  // about 80 bytes at 85 us each

struct DumpCase {
    const char* name;
    Area area;
    std::string text;
};

class ConfigurationDump : public FullImageTest, public ::testing::WithParamInterface<DumpCase> {
  protected:
    vboard::SercomUsart& serial1() {
        for (const auto& m : board().models())
            if (auto* s = dynamic_cast<vboard::Sercom*>(m.get()); s && s->index() == kSerial1Module)
                return s->usart();
        throw std::logic_error("no SERCOM1");
    }
    std::string transmitted() {
        std::string text;
        for (const auto& frame : serial1().transmitted()) text += static_cast<char>(frame.data);
        return text;
    }
};

TEST_P(ConfigurationDump, PrintsElevenLines) {
    load_area(board(), GetParam().area);
    boot_to("setup");
    park_main_thread();
    call("Uart::begin(unsigned long)", {address_of("Serial1"), kBaud});
    call("inicializacion_dispositivo");
    write_global8(board(), "cdebug", 1);
    call("verificacion_memoria");
    const std::size_t before = serial1().transmitted().size();
    call("cargar_estructuras_configuracion");
    run_for(kDrainTime);
    EXPECT_EQ(transmitted().substr(before), GetParam().text);
}

TEST_F(ConfigurationDump, IsSilentWithoutCdebug) {
    boot_to("setup");
    park_main_thread();
    call("Uart::begin(unsigned long)", {address_of("Serial1"), kBaud});
    call("inicializacion_dispositivo");
    call("verificacion_memoria");
    call("cargar_estructuras_configuracion");
    run_for(kDrainTime);
    EXPECT_EQ(transmitted(), "");
}

// A stored record with the light alarm time 2, replaced by 10, and a light
// threshold of 12.3.
constexpr Record kToRepair = {0x02, 0x01, 0x01, 0x7B, 0x01, 0xF4, 0x02, 0x01, 0x01, 0x50, 0x03,
                              0xE8, 0x1E, 0x01, 0x01, 0x01, 0x0F, 0x01, 0x2C, 0x01, 0x01};

INSTANTIATE_TEST_SUITE_P(
    Records, ConfigurationDump,
    ::testing::Values(DumpCase{"factory_defaults", filled_area(0x00),
                               "cargado:\r\nm:10\r\ne:3\r\nul:3.00\r\nrl:100\r\ntl:10\r\nil:0\r\n"
                               "ug:5.00\r\nrg:100\r\ntg:10\r\nig:0\r\n"},
                      DumpCase{"after_a_repair", committed_area(kToRepair),
                               "cargado:\r\nm:15\r\ne:1\r\nul:12.30\r\nrl:500\r\ntl:10\r\nil:1\r\n"
                               "ug:8.00\r\nrg:1000\r\ntg:30\r\nig:1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
