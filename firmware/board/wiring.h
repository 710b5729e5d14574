// Board bring-up that main runs first.
#pragma once

extern "C" {

// Starts the 1 ms system tick, turns on the peripheral bus clocks, offers every pin its
// start-up configuration and sets up the ADC and DAC with the chip's calibration.
void init();
}
