#include "board/main.h"

#include "board/wiring.h"
#include "core/delay.h"

using Constructor = void (*)();

// The constructor tables, inside the initialised data (valid after Reset_Handler's copy).
extern "C" {
extern Constructor __preinit_array_start[];
extern Constructor __preinit_array_end[];
extern Constructor __init_array_start[];
extern Constructor __init_array_end[];
}

namespace {

// Keeps the compiler from reasoning about the addresses of two distinct linker symbols.
template <typename T>
T* opaque(T* p) {
    __asm__("" : "+r"(p));
    return p;
}

void runTable(Constructor* start, Constructor* end) {
    Constructor* const first = opaque(start);
    const auto count = static_cast<unsigned>(opaque(end) - first);
    for (unsigned i = 0; i < count; ++i) {
        first[i]();
    }
}

// Static constructors in link order: the storage objects, the I2C object, then the board's
// objects.
void runStaticConstructors() {
    runTable(__preinit_array_start, __preinit_array_end);
    runTable(__init_array_start, __init_array_end);
}

}  // namespace

extern "C" __attribute__((weak)) void initVariant() {}

int main() {
    init();
    runStaticConstructors();
    initVariant();
    delay(1);
    setup();
    for (;;) {
        loop();
    }
}
