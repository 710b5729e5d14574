#include "sercom_i2c_master.h"

namespace vboard {

std::uint32_t SercomI2cMaster::read(std::uint32_t offset, unsigned) {
    module().module_note(Finding::Unsupported, offset, module().name() + ": I2C master mode not modelled yet");
    return 0;
}

void SercomI2cMaster::write(std::uint32_t offset, unsigned, std::uint32_t) {
    module().module_note(Finding::Unsupported, offset, module().name() + ": I2C master mode not modelled yet");
}

}  // namespace vboard
