// What main runs after the board is up: the application's entry points and the board hook.
#pragma once

// The application: setup once, then loop again and again.
void setup();
void loop();

extern "C" {

// Board hook run after the static constructors. Default (weak): does nothing.
void initVariant();
}
