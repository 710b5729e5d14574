#include "status_line.hpp"

#include <cstdio>

namespace capture {

namespace {
constexpr const char* kClearLine = "\r\033[K";
}

void StatusLine::update(double now_s, const Decoder& d) {
    if (!terminal_ || quiet_) return;
    if (!started_) {
        started_ = true;
        last_s_ = now_s;
        last_frames_ = d.stats().frames();
        return;
    }
    const double dt = now_s - last_s_;
    if (dt < kStatusPeriodS) return;
    const std::uint64_t frames = d.stats().frames();
    const double fps = static_cast<double>(frames - last_frames_) / dt;
    last_s_ = now_s;
    last_frames_ = frames;
    const Peak& peak = d.stats().magnitude_peak();
    std::fprintf(stderr,
                 "%s%llu frames  %.1f fps  %llu resyncs  %zu resets  %llu skipped  peak %.2f g%s",
                 kClearLine, static_cast<unsigned long long>(frames), fps,
                 static_cast<unsigned long long>(d.sync().resyncs), d.resets().size(),
                 static_cast<unsigned long long>(d.sync().skipped_bytes),
                 peak.valid ? peak.value : 0.0, d.locked() ? "" : "  (hunting)");
    std::fflush(stderr);
    shown_ = true;
}

void StatusLine::clear() {
    if (!shown_) return;
    std::fputs(kClearLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

void StatusLine::print(const std::string& text) {
    clear();
    std::fprintf(stderr, "impact-capture: %s\n", text.c_str());
    std::fflush(stderr);
}

void StatusLine::info(const std::string& text) {
    if (terminal_ && !quiet_) print(text);
}

void StatusLine::warn(const std::string& text) {
    if (!quiet_) print("warning: " + text);
}

void StatusLine::error(const std::string& text) {
    print("error: " + text);
}

}  // namespace capture
