// SERCOM in I2C master mode (placeholder: registers read as zero).
#pragma once

#include "sercom.h"

namespace vboard {

class SercomI2cMaster : public SercomFunction {
public:
    explicit SercomI2cMaster(Sercom& module) : SercomFunction(module) {}
    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override {}
};

}  // namespace vboard
