// Ctrl-C, SIGTERM and SIGHUP ask the capture to stop; a second one ends the program at once.
#pragma once

namespace capture {

void install_stop_handlers();
bool stop_requested();

}  // namespace capture
