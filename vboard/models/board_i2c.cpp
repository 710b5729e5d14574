#include "board_i2c.h"

#include <memory>

#include "../src/board.h"
#include "accel_source.h"
#include "adxl345.h"
#include "i2c_bus.h"
#include "sercom.h"
#include "sercom_i2c_master.h"

namespace vboard {

void install_i2c_devices(Board& board) {
    auto& bus = static_cast<I2cBus&>(board.add_model(std::make_unique<I2cBus>(board)));
    auto& sensor = static_cast<Adxl345&>(board.add_model(
        std::make_unique<Adxl345>(board, make_accel_source(board.options().sensor))));
    bus.attach(Adxl345::kAddress, sensor);
    for (const auto& model : board.models()) {
        auto* sercom = dynamic_cast<Sercom*>(model.get());
        if (sercom != nullptr && sercom->index() == kSensorBusSercom)
            sercom->i2c_master().connect(bus);
    }
}

}  // namespace vboard
