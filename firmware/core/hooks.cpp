#include "core/hooks.h"

extern "C" {

void __empty() {}

int __false() {
    return 0;
}

void yield() __attribute__((weak, alias("__empty")));

int sysTickHook() __attribute__((weak, alias("__false")));
}
