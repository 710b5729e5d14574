// The board's I2C wiring: SERCOM5's pads 0 and 1 on PA22 (SDA) and PA23
// (SCL), the bus, and the ADXL345 accelerometer at 0x53 on it, fed by the
// sample source of BoardOptions::sensor.
#pragma once

namespace vboard {

class Board;

constexpr unsigned kSensorBusSercom = 5;

// Adds the bus and the sensor to `board` and connects the bus to SERCOM5's
// I2C master; the SERCOM models must be installed already.
void install_i2c_devices(Board& board);

}  // namespace vboard
