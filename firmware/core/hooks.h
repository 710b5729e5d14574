// Replaceable hooks. The defaults are weak; a module takes one over by defining a function of
// the same name.
#pragma once

extern "C" {

// Called over and over while delay waits. Default: does nothing.
void yield();

// Asked at every system tick; non-zero means the hook has dealt with the tick and the tick
// count is not advanced. Default: returns 0.
int sysTickHook();

// The shared trivial defaults behind the hooks.
void __empty();
int __false();
}
