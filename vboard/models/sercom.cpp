#include "sercom.h"

#include "../src/board.h"
#include "gclk.h"
#include "sercom_i2c_master.h"
#include "sercom_usart.h"

namespace vboard {

Sercom::Sercom(Board& board, unsigned index)
    : Peripheral(board, "SERCOM" + std::to_string(index), kBases[index], kSize),
      index_(index),
      usart_(std::make_unique<SercomUsart>(*this)),
      i2c_master_(std::make_unique<SercomI2cMaster>(*this)) {}

Sercom::~Sercom() = default;

std::uint32_t Sercom::core_clock_hz() const {
    return board().model<Gclk>().channel_hz(kCoreClockChannels[index_]);
}

void Sercom::drive_irq(bool level) {
    set_irq(kIrqLines[index_], level);
}

SercomFunction* Sercom::active() const {
    switch (mode_) {
        case kUsartExternalClock:
        case kUsartInternalClock:
            return usart_.get();
        case kI2cMaster:
            return i2c_master_.get();
        default:
            return nullptr;
    }
}

std::uint32_t Sercom::read(std::uint32_t offset, unsigned width) {
    if (SercomFunction* f = active()) return f->read(offset, width);
    note(Finding::Unsupported, offset,
         name() + ": mode " + std::to_string(mode_) + " (SPI or I2C slave) is not modelled");
    return 0;
}

void Sercom::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    if (offset == kCTRLA && (value & kSwrst)) {
        // A software reset returns the whole module, whatever its mode.
        usart_->reset();
        i2c_master_->reset();
        mode_ = kUsartExternalClock;
        drive_irq(false);
        active()->write(offset, width, value);
        return;
    }
    if (offset == kCTRLA) {
        // MODE is enable-protected on the chip; the firmware writes it with
        // the module disabled, and the function it selects takes over.
        const Mode requested = static_cast<Mode>((value & kModeMask) >> kModePos);
        if (requested != mode_) {
            mode_ = requested;
            drive_irq(false);
        }
    }
    if (SercomFunction* f = active()) return f->write(offset, width, value);
    note(Finding::Unsupported, offset,
         name() + ": mode " + std::to_string(mode_) + " (SPI or I2C slave) is not modelled");
}

void Sercom::reset() {
    usart_->reset();
    i2c_master_->reset();
    mode_ = kUsartExternalClock;
}

SimTime Sercom::next_event() const {
    return std::min(usart_->next_event(), i2c_master_->next_event());
}

void Sercom::advance(SimTime now) {
    if (usart_->next_event() <= now) usart_->advance(now);
    if (i2c_master_->next_event() <= now) i2c_master_->advance(now);
}

void Sercom::clocks_changed() {
    usart_->clocks_changed();
    i2c_master_->clocks_changed();
}

bool Sercom::arm_fault(const FaultSpec& fault) {
    return usart_->arm_fault(fault) || i2c_master_->arm_fault(fault);
}

void Sercom::add_to_report(nlohmann::json& report) const {
    usart_->add_to_report(report);
    i2c_master_->add_to_report(report);
}

}  // namespace vboard
