// The capture decoder: bytes in; samples, device resets and threshold events out. No I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "arrival_times.hpp"
#include "capture_stats.hpp"
#include "device_clock.hpp"
#include "frame_sync.hpp"
#include "sample.hpp"
#include "threshold_events.hpp"

namespace capture {

class DecoderSink {
  public:
    virtual ~DecoderSink() = default;
    virtual void on_sample(const Sample& s) = 0;
    // Reported before the first sample of the session it begins.
    virtual void on_reset(const ResetEvent&) {}
    virtual void on_event(const ThresholdEvent&) {}
};

struct DecoderConfig {
    std::optional<double> threshold_g;
    std::optional<std::uint64_t> max_frames;
    // Device time from the first sample, in ms.
    std::optional<std::uint64_t> max_device_ms;
    std::uint64_t event_merge_gap_ms = 0;  // dips shorter than this do not end an event
};

// Reset texts are kept up to this length.
constexpr std::size_t kMaxResetTextChars = 4096;

class Decoder : private FrameSyncSink {
  public:
    Decoder(DecoderSink& sink, DecoderConfig config);

    // `host_time_s`: when these bytes were received.
    void feed(const std::uint8_t* data, std::size_t size, double host_time_s);
    void finish();
    // A frame or time limit was reached; further data is ignored.
    bool done() const { return done_; }

    const CaptureStats& stats() const { return stats_; }
    const SyncCounters& sync() const { return sync_.counters(); }
    bool locked() const { return sync_.locked(); }
    const std::vector<ResetEvent>& resets() const { return resets_; }
    const std::vector<ThresholdEvent>& events() const { return events_; }
    std::optional<double> threshold_g() const { return config_.threshold_g; }
    const DecoderConfig& config() const { return config_; }

  private:
    void on_frame(const RawFrame& frame) override;
    void on_text_line(std::string_view text, std::uint64_t begin, std::uint64_t end) override;
    void close_reset();
    void cut_event();

    DecoderSink& sink_;
    DecoderConfig config_;
    FrameSync sync_;
    ArrivalTimes arrivals_;
    DeviceClock clock_;
    CaptureStats stats_;
    std::optional<ThresholdEvents> detector_;
    std::vector<ResetEvent> resets_;
    std::vector<ThresholdEvent> events_;

    std::optional<ResetEvent> pending_reset_;  // text seen, no frame since
    std::uint32_t session_ = 0;
    std::uint64_t session_base_ms_ = 0;
    std::uint64_t last_timeline_ms_ = 0;
    std::uint64_t first_timeline_ms_ = 0;
    std::uint64_t next_index_ = 0;
    bool done_ = false;
    bool finished_ = false;
};

}  // namespace capture
