// C++ run-time entries the compiler may reference. Defined here so that the library versions,
// which print through stdio and pull in a heap, are never linked.
extern "C" {

// A call through a pure or deleted virtual slot: a program fault. The device stops here until
// the watchdog resets it.
void __cxa_pure_virtual() {
    for (;;) {
        __asm__ volatile("");
    }
}

void __cxa_deleted_virtual() {
    for (;;) {
        __asm__ volatile("");
    }
}
}
