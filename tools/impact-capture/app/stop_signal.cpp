#include "stop_signal.hpp"

#include <csignal>
#include <initializer_list>

namespace capture {

namespace {
volatile std::sig_atomic_t g_stop = 0;

void on_stop(int) {
    g_stop = 1;
}
}  // namespace

void install_stop_handlers() {
    struct sigaction sa {};
    sa.sa_handler = on_stop;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;  // the second signal takes its default action
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
    // A reader of standard output that goes away shows up as EPIPE, handled where written.
    std::signal(SIGPIPE, SIG_IGN);
}

bool stop_requested() {
    return g_stop != 0;
}

}  // namespace capture
