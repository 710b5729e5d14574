// Every peripheral model of the SAML21E17B that this board carries. A model
// added here is on the bus, reset with the board and advanced in time.
#include "../src/board.h"
#include "adc.h"
#include "board_i2c.h"
#include "dac.h"
#include "gclk.h"
#include "mclk.h"
#include "nvic.h"
#include "nvmctrl.h"
#include "oscctrl.h"
#include "pm.h"
#include "port.h"
#include "power_supply.h"
#include "scb.h"
#include "sercom.h"
#include "supc.h"
#include "systick.h"
#include "tc.h"
#include "wdt.h"

namespace vboard {

void install_models(Board& board) {
    // Core peripherals.
    board.add_model(std::make_unique<Nvic>(board));
    board.add_model(std::make_unique<Scb>(board));
    board.add_model(std::make_unique<SysTick>(board));
    // Clocks and power.
    board.add_model(std::make_unique<Pm>(board));
    board.add_model(std::make_unique<Mclk>(board));
    board.add_model(std::make_unique<Oscctrl>(board));
    board.add_model(std::make_unique<Supc>(board));
    board.add_model(std::make_unique<PowerSupply>(board));
    board.add_model(std::make_unique<Gclk>(board));
    board.add_model(std::make_unique<Wdt>(board));
    // Memories and I/O.
    board.add_model(std::make_unique<Nvmctrl>(board));
    board.add_model(std::make_unique<Port>(board));
    // Serial-communication modules.
    for (unsigned i = 0; i < Sercom::kModules; ++i)
        board.add_model(std::make_unique<Sercom>(board, i));
    // Off the chip: the I2C bus on SERCOM5's pads and the accelerometer on it.
    install_i2c_devices(board);
    // Timers (TC0 first: model<Tc>() finds it).
    for (const TcInstance& tc : {Tc::kTc0, Tc::kTc1, Tc::kTc4})
        board.add_model(std::make_unique<Tc>(board, tc));
    // Analogue.
    board.add_model(std::make_unique<Adc>(board));
    board.add_model(std::make_unique<Dac>(board));
}

}  // namespace vboard
