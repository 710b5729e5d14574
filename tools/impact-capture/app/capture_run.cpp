#include "capture_run.hpp"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "byte_source.hpp"
#include "capture_error.hpp"
#include "csv_writer.hpp"
#include "decoder.hpp"
#include "gnuplot_plotter.hpp"
#include "output_file.hpp"
#include "plot_series.hpp"
#include "status_line.hpp"
#include "stop_signal.hpp"
#include "summary_json.hpp"

namespace capture {

namespace {

constexpr std::size_t kReadBytes = 1 << 16;
constexpr int kPollMs = 100;
constexpr double kMsPerSecond = 1000.0;
// A file this long without a frame or a text line is not a capture.
constexpr std::uint64_t kNotCaptureBytes = 1 << 20;

std::string utc_now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

class Clock {
  public:
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class Outputs : public DecoderSink {
  public:
    Outputs(const Options& o, StatusLine& status) : status_(status) {
        if (!o.csv.empty()) {
            csv_file_ = std::make_unique<OutputFile>(o.csv);
            csv_.emplace(*csv_file_);
        }
        if (!o.raw.empty()) raw_ = std::make_unique<OutputFile>(o.raw);
        if (!o.plot.empty()) plot_.emplace();
    }

    void on_sample(const Sample& s) override {
        if (csv_) csv_->write(s);
        if (plot_) plot_->add(s);
    }
    void on_reset(const ResetEvent& r) override {
        status_.info("device reset: session " + std::to_string(r.session) + " begins at frame " +
                     std::to_string(r.next_frame));
    }

    void raw(const std::uint8_t* data, std::size_t n) {
        if (raw_) raw_->write(data, n);
    }
    bool csv_closed() const { return csv_file_ && csv_file_->broken(); }
    // Flushes and closes; the first failure is thrown after all were tried.
    void close() {
        std::optional<CaptureError> first;
        for (OutputFile* f : {csv_file_.get(), raw_.get()}) {
            if (!f) continue;
            try {
                f->close();
            } catch (const CaptureError& e) {
                if (!first) first = e;
            }
        }
        if (first) throw *first;
    }
    PlotSeries* plot() { return plot_ ? &*plot_ : nullptr; }

  private:
    StatusLine& status_;
    std::unique_ptr<OutputFile> csv_file_;
    std::optional<CsvWriter> csv_;
    std::unique_ptr<OutputFile> raw_;
    std::optional<PlotSeries> plot_;
};

struct Stop {
    std::string by = "end_of_input";
    int exit_code = kExitOk;
    std::string error;

    void fail(const std::string& reason, const std::string& message, int code) {
        if (!error.empty()) return;
        by = reason;
        error = message;
        exit_code = code;
    }
};

void write_summary(const std::string& path, const nlohmann::json& j) {
    OutputFile out(path);
    out.write(j.dump(2));
    out.write("\n");
    out.close();
}

}  // namespace

int run_capture(const Options& o) {
    StatusLine status(::isatty(STDERR_FILENO) != 0, o.quiet);
    install_stop_handlers();
    const Clock clock;
    RunInfo info;
    info.started_utc = utc_now();

    std::unique_ptr<ByteSource> source;
    std::unique_ptr<Outputs> outputs;
    try {
        source = open_source(o);
        outputs = std::make_unique<Outputs>(o, status);
    } catch (const CaptureError& e) {
        status.error(e.what());
        return e.exit_code();
    }
    info.source = source->name();
    info.device = source->is_device();
    info.baud = source->baud();
    if (info.device) {
        status.info("reading " + info.source + " at " + std::to_string(info.baud) + " baud");
        if (info.baud != o.baud) {
            status.warn("the driver set " + std::to_string(info.baud) + " baud, not " +
                        std::to_string(o.baud));
        }
    }

    DecoderConfig config;
    config.threshold_g = o.threshold_g;
    config.event_merge_gap_ms = o.event_gap_ms;
    config.max_frames = o.frames;
    if (o.duration_s && !info.device) {
        config.max_device_ms =
            static_cast<std::uint64_t>(std::llround(*o.duration_s * kMsPerSecond));
    }
    Decoder decoder(*outputs, config);

    Stop stop;
    std::vector<std::uint8_t> buffer(kReadBytes);
    try {
        for (;;) {
            if (stop_requested()) {
                stop.by = "interrupt";
                break;
            }
            if (decoder.done()) {
                stop.by = o.frames && decoder.stats().frames() >= *o.frames ? "frames" : "duration";
                break;
            }
            if (info.device && o.duration_s && clock.seconds() >= *o.duration_s) {
                stop.by = "duration";
                break;
            }
            if (outputs->csv_closed()) {
                stop.by = "output_closed";
                break;
            }
            const ReadResult r = source->read(buffer.data(), buffer.size(), kPollMs);
            if (r.status == ReadResult::Status::kEnd) break;
            if (r.status == ReadResult::Status::kLost) {
                const std::string why =
                    r.error ? describe_errno(info.source, r.error) : info.source + ": hung up";
                stop.fail(info.device ? "device_lost" : "error",
                          (info.device ? "device went away (" + why + ")" : "cannot read " + why),
                          info.device ? kExitDeviceLost : kExitError);
                break;
            }
            if (r.status == ReadResult::Status::kData) {
                outputs->raw(buffer.data(), r.size);
                decoder.feed(buffer.data(), r.size, clock.seconds());
                const SyncCounters& sc = decoder.sync();
                if (!info.device && sc.bytes >= kNotCaptureBytes && sc.frames == 0 &&
                    sc.text_lines == 0) {
                    stop.fail("error",
                              info.source + " is not a capture: no sample frame and no text in " +
                                  "its first " + std::to_string(sc.bytes) + " bytes",
                              kExitError);
                    break;
                }
            }
            status.update(clock.seconds(), decoder);
        }
    } catch (const CaptureError& e) {
        stop.fail("error", e.what(), e.exit_code());
    }

    try {
        decoder.finish();
    } catch (const CaptureError& e) {
        stop.fail("error", e.what(), e.exit_code());
    }
    status.clear();
    try {
        outputs->close();
    } catch (const CaptureError& e) {
        stop.fail("error", e.what(), e.exit_code());
    }

    const SyncCounters& sc = decoder.sync();
    if (!info.device && stop.error.empty() && sc.frames == 0 && sc.text_lines == 0) {
        stop.fail("error",
                  sc.bytes == 0 ? info.source + " is empty: not a capture"
                                : info.source + " is not a capture: no sample frame and no text " +
                                      "in " + std::to_string(sc.bytes) + " bytes",
                  kExitError);
    }
    if (info.device && sc.frames == 0 && stop.exit_code == kExitOk) {
        status.warn("no frames received from " + info.source);
    }
    if (stop.exit_code == kExitDeviceLost) {
        stop.error += "; kept " + std::to_string(decoder.stats().frames()) + " frames";
    }
    if (!stop.error.empty()) status.error(stop.error);

    info.host_duration_s = clock.seconds();
    info.stopped_by = stop.by;
    info.error = stop.error;
    if (!o.summary.empty()) {
        try {
            write_summary(o.summary, make_summary(decoder, info));
        } catch (const CaptureError& e) {
            status.error(e.what());
            if (stop.exit_code == kExitOk) stop.exit_code = e.exit_code();
        }
    }
    if (PlotSeries* series = outputs->plot(); series && decoder.stats().frames() > 0) {
        series->finish();
        PlotRequest req;
        req.output = o.plot;
        req.title = "impact-capture: " + info.source + " (" + info.started_utc + ")";
        req.series = series;
        req.resets = &decoder.resets();
        req.events = &decoder.events();
        req.threshold_g = o.threshold_g;
        try {
            draw_plot(req);
            status.info("plot written to " + o.plot);
        } catch (const CaptureError& e) {
            status.error(e.what());
            if (stop.exit_code == kExitOk) stop.exit_code = e.exit_code();
        }
    } else if (series) {
        status.warn("no plot: no frames were decoded");
    }
    return stop.exit_code;
}

}  // namespace capture
