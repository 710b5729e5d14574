#include "sercom_usart.h"

namespace vboard {

std::uint32_t SercomUsart::read(std::uint32_t offset, unsigned) {
    module().module_note(Finding::Unsupported, offset, module().name() + ": USART mode not modelled yet");
    return 0;
}

void SercomUsart::write(std::uint32_t offset, unsigned, std::uint32_t) {
    module().module_note(Finding::Unsupported, offset, module().name() + ": USART mode not modelled yet");
}

}  // namespace vboard
