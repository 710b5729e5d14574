#include "summary_json.hpp"

#include <cmath>

namespace capture {

namespace {

constexpr double kMsPerSecond = 1000.0;
// Magnitudes are reported to 0.1 mg, the resolution of one count's 3.9 mg.
constexpr double kDecimals = 1e4;

double rounded(double g) {
    return std::round(g * kDecimals) / kDecimals;
}
const char* const kAxisNames[kAxisCount] = {"x", "y", "z"};

nlohmann::json peak_json(const Peak& p, bool axis) {
    if (!p.valid) return nullptr;
    nlohmann::json j{{"g", rounded(p.value)},
                     {"frame", p.frame},
                     {"session", p.session},
                     {"device_time_ms", p.device_time_ms}};
    if (axis) j["counts"] = p.counts;
    return j;
}

}  // namespace

nlohmann::json make_summary(const Decoder& decoder, const RunInfo& run) {
    const CaptureStats& st = decoder.stats();
    const SyncCounters& sc = decoder.sync();
    nlohmann::json j;
    j["source"] = run.source;
    j["source_kind"] = run.device ? "device" : "file";
    j["baud"] = run.device ? nlohmann::json(run.baud) : nlohmann::json(nullptr);
    j["started_utc"] = run.started_utc;
    j["stopped_by"] = run.stopped_by;
    j["error"] = run.error.empty() ? nlohmann::json(nullptr) : nlohmann::json(run.error);
    j["bytes"] = sc.bytes;
    j["frames"] = st.frames();
    j["duration_s"] = static_cast<double>(st.interval_ms()) / kMsPerSecond;
    j["host_duration_s"] = run.host_duration_s;
    j["mean_rate_hz"] = st.mean_rate_hz();

    nlohmann::json hist = nlohmann::json::object();
    const auto& h = st.elapsed_histogram();
    for (std::size_t v = 0; v < h.size(); ++v) {
        if (h[v] != 0) hist[std::to_string(v)] = h[v];
    }
    j["elapsed_histogram"] = hist;

    j["resyncs"] = sc.resyncs;
    j["skipped_bytes"] = sc.skipped_bytes;
    j["missed_frames"] = sc.missed_frames;
    j["truncated_frames"] = sc.truncated_frames;
    j["text_bytes"] = sc.text_bytes;

    nlohmann::json resets = nlohmann::json::array();
    for (const ResetEvent& r : decoder.resets()) {
        resets.push_back({{"session", r.session},
                          {"next_frame", r.next_frame},
                          {"offset", r.offset},
                          {"host_time_s", r.host_time_s},
                          {"text", r.text}});
    }
    j["resets"] = resets;

    nlohmann::json peaks;
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        peaks[kAxisNames[a]] = peak_json(st.axis_peak(a), true);
    }
    peaks["magnitude"] = peak_json(st.magnitude_peak(), false);
    j["peaks"] = peaks;

    const auto threshold = decoder.threshold_g();
    j["threshold_g"] = threshold ? nlohmann::json(*threshold) : nlohmann::json(nullptr);
    j["event_gap_ms"] = decoder.config().event_merge_gap_ms;
    nlohmann::json events = nlohmann::json::array();
    for (const ThresholdEvent& e : decoder.events()) {
        events.push_back({{"first_frame", e.first_frame},
                          {"frames", e.frames},
                          {"session", e.session},
                          {"start_device_time_ms", e.start_device_time_ms},
                          {"duration_ms", e.duration_ms},
                          {"peak_g", rounded(e.peak_g)},
                          {"peak_frame", e.peak_frame},
                          {"peak_device_time_ms", e.peak_device_time_ms}});
    }
    j["events"] = events;
    return j;
}

}  // namespace capture
