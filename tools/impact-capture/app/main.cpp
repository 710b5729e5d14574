// impact-capture: records the impact sensor's sample stream from a serial line or a file.
#include "capture_run.hpp"
#include "options.hpp"

int main(int argc, char** argv) {
    capture::Options options;
    if (const auto rc = capture::parse_options(argc, argv, options)) return *rc;
    return capture::run_capture(options);
}
