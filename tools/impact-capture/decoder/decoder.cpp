#include "decoder.hpp"

namespace capture {

Decoder::Decoder(DecoderSink& sink, DecoderConfig config)
    : sink_(sink), config_(config), sync_(*this) {
    if (config_.threshold_g) detector_.emplace(*config_.threshold_g, config_.event_merge_gap_ms);
}

void Decoder::feed(const std::uint8_t* data, std::size_t size, double host_time_s) {
    if (done_ || finished_ || size == 0) return;
    arrivals_.add(sync_.counters().bytes + size, host_time_s);
    sync_.feed(data, size);
    // Chunks whose bytes are all decided, frames or not, need no time any more.
    arrivals_.forget_before(sync_.counters().bytes - sync_.pending());
}

void Decoder::finish() {
    if (finished_) return;
    if (!done_) sync_.finish();
    finished_ = true;
    close_reset();
    cut_event();
}

void Decoder::on_frame(const RawFrame& frame) {
    if (done_) return;
    close_reset();
    Sample s;
    const bool first_of_session = clock_.at_start();
    s.index = next_index_;
    s.session = session_;
    s.device_time_ms = clock_.advance(frame.elapsed_ms);
    s.timeline_ms = session_base_ms_ + s.device_time_ms;
    s.elapsed_ms = frame.elapsed_ms;
    s.counts = frame.counts;
    s.offset = frame.offset;
    s.host_time_s = arrivals_.at(frame.offset + kFrameSize - 1);

    if (next_index_ == 0) first_timeline_ms_ = s.timeline_ms;
    if (config_.max_device_ms && s.timeline_ms - first_timeline_ms_ >= *config_.max_device_ms) {
        done_ = true;
        return;
    }
    ++next_index_;
    last_timeline_ms_ = s.timeline_ms;
    stats_.add(s, first_of_session);
    sink_.on_sample(s);
    if (detector_) {
        if (auto e = detector_->add(s)) {
            events_.push_back(*e);
            sink_.on_event(*e);
        }
    }
    if (config_.max_frames && next_index_ >= *config_.max_frames) done_ = true;
}

void Decoder::on_text_line(std::string_view text, std::uint64_t begin, std::uint64_t end) {
    if (done_) return;
    if (!pending_reset_) {
        pending_reset_.emplace();
        pending_reset_->offset = begin;
        // When the first line was complete: its start may lie in a chunk already forgotten.
        pending_reset_->host_time_s = arrivals_.at(end - 1);
    }
    std::string& t = pending_reset_->text;
    if (t.size() < kMaxResetTextChars) {
        t.append(text.substr(0, kMaxResetTextChars - t.size()));
        t.push_back('\n');
    }
}

// The text block before this point was the banner of a device start: a new session begins.
void Decoder::close_reset() {
    if (!pending_reset_) return;
    cut_event();
    ResetEvent r = std::move(*pending_reset_);
    pending_reset_.reset();
    ++session_;
    r.session = session_;
    r.next_frame = next_index_;
    r.timeline_ms = last_timeline_ms_;
    session_base_ms_ = last_timeline_ms_;
    clock_.restart();
    resets_.push_back(r);
    sink_.on_reset(resets_.back());
}

void Decoder::cut_event() {
    if (!detector_) return;
    if (auto e = detector_->cut()) {
        events_.push_back(*e);
        sink_.on_event(*e);
    }
}

}  // namespace capture
