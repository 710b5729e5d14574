#include "core/HardwareSerial.h"

HardwareSerial::HardwareSerial() = default;
