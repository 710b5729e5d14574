// Text for the host on the serial line.
#pragma once

// The four-line welcome banner on Serial1: hardware 1, firmware 1.0, test
// build.
void mensaje_de_bienvenida();
