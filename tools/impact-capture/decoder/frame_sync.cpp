#include "frame_sync.hpp"

#include "frame_checks.hpp"

namespace capture {

namespace {
// The next frame's header and its elapsed byte.
constexpr std::size_t kNextHeaderProbe = kFrameSize + kHeaderSize + 1;
// The buffer drops consumed bytes once this many have piled up.
constexpr std::size_t kCompactBytes = 1 << 16;
// 1.8185 ms per frame is 3637 ms per 2000 frames.
constexpr std::uint64_t kTickMsNumerator = 3637;
constexpr std::uint64_t kTickMsDenominator = 2000;

bool same_phase(std::uint64_t a, std::uint64_t b) {
    return (a > b ? a - b : b - a) % kFrameSize == 0;
}
}  // namespace

void FrameSync::feed(const std::uint8_t* data, std::size_t size) {
    if (head_ >= kCompactBytes && head_ * 2 >= buffer_.size()) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    buffer_.insert(buffer_.end(), data, data + size);
    counters_.bytes += size;
    while (step(false) == Step::kProgress) {
    }
}

void FrameSync::finish() {
    while (available() > 0 && step(true) == Step::kProgress) {
    }
    buffer_.clear();
    head_ = 0;
    text_.reset();
}

FrameSync::Step FrameSync::step(bool final) {
    if (available() == 0) return Step::kNeedMore;
    if (final && available() < kFrameSize) {
        // The data ends inside what would be a frame.
        if (*at(0) == kHeaderByte) ++counters_.truncated_frames;
        skip(available());
        return Step::kProgress;
    }
    return mode_ == Mode::kLocked ? step_locked(final) : step_hunting(final);
}

FrameSync::Step FrameSync::step_locked(bool final) {
    std::size_t shift = 0;
    switch (check_expected(final, shift)) {
        case Verdict::kNeedMore:
            return Step::kNeedMore;
        case Verdict::kAccept:
            emit_frame();
            break;
        case Verdict::kShift:
            ++counters_.truncated_frames;
            skip(shift);
            acquire();
            break;
        case Verdict::kMiss:
            mode_ = Mode::kHunting;
            expecting_ = true;
            expect_at_ = offset_of(kFrameSize);
            misses_ = 1;
            break;
    }
    return Step::kProgress;
}

FrameSync::Step FrameSync::step_hunting(bool final) {
    if (expecting_ && offset_of(0) == expect_at_) {
        std::size_t shift = 0;
        switch (check_expected(final, shift)) {
            case Verdict::kNeedMore:
                return Step::kNeedMore;
            case Verdict::kAccept:
                // The old phase holds again after a few missed frames.
                counters_.missed_frames += misses_;
                expecting_ = false;
                mode_ = Mode::kLocked;
                emit_frame();
                return Step::kProgress;
            case Verdict::kShift:
                ++counters_.truncated_frames;
                skip(shift);
                acquire();
                return Step::kProgress;
            case Verdict::kMiss:
                expect_at_ += kFrameSize;
                if (++misses_ > kToleratedMisses) expecting_ = false;
                break;
        }
    }
    if (available() < kFrameSize) return Step::kNeedMore;
    if (!is_candidate(0)) {
        skip(1);
        return Step::kProgress;
    }
    const Chain c = chain_at(0, kVerifyFrames);
    if (c.ran_out && !final) return Step::kNeedMore;
    if (!qualifies(c, final)) {
        skip(1);
        return Step::kProgress;
    }
    const std::optional<std::size_t> chosen = choose_phase(0, final);
    if (!chosen) return Step::kNeedMore;
    skip(*chosen);
    acquire();
    return Step::kProgress;
}

// The frame at the head sits where the lock expects one.
FrameSync::Verdict FrameSync::check_expected(bool final, std::size_t& shift_to) {
    if (available() < kFrameSize) return final ? Verdict::kMiss : Verdict::kNeedMore;
    if (!frame_fits_lock(at(0), after_text(0))) return Verdict::kMiss;
    if (available() < kNextHeaderProbe) return final ? Verdict::kAccept : Verdict::kNeedMore;
    if (next_header_at(at(kFrameSize))) return Verdict::kAccept;

    // No header where the next frame should start: either the stream breaks after this frame,
    // or this frame was cut short and a header inside it starts the stream again.
    for (std::size_t q = 1; q < kFrameSize; ++q) {
        if (available() < q + kFrameSize) {
            if (!final) return Verdict::kNeedMore;
            break;
        }
        if (!is_candidate(q)) continue;
        const Chain c = chain_at(q, kVerifyFrames);
        if (c.ran_out && !final) return Verdict::kNeedMore;
        if (!qualifies(c, final)) continue;
        const std::optional<std::size_t> chosen = choose_phase(q, final);
        if (!chosen) return Verdict::kNeedMore;
        shift_to = *chosen;
        return Verdict::kShift;
    }
    return Verdict::kAccept;
}

// `first` starts a verified chain. A header pattern inside the payloads (an axis reading -1 next
// to a negative one) can verify as well, one to nine bytes later; the chain that lasts longer
// wins, then the one whose elapsed bytes add up closer to the tick period, then the one on the
// phase of the latest text line or lock, then the earlier one.
std::optional<std::size_t> FrameSync::choose_phase(std::size_t first, bool final) {
    std::size_t rivals[kFrameSize];
    std::size_t count = 0;
    rivals[count++] = first;
    for (std::size_t q = first + 1; q < first + kFrameSize; ++q) {
        if (available() < q + kFrameSize) {
            if (!final) return std::nullopt;
            break;
        }
        if (!is_candidate(q)) continue;
        const Chain c = chain_at(q, kVerifyFrames);
        if (c.ran_out && !final) return std::nullopt;
        if (qualifies(c, final)) rivals[count++] = q;
    }
    if (count == 1) return first;

    struct Score {
        std::size_t at;
        std::size_t frames;
        std::uint64_t elapsed_error;
        bool known_phase;
    };
    Score best{};
    for (std::size_t r = 0; r < count; ++r) {
        const Chain c = chain_at(rivals[r], kRivalFrames);
        if (c.ran_out && !final) return std::nullopt;
        const Score s{rivals[r], c.frames, chain_elapsed_error(rivals[r], c.frames),
                      on_known_phase(rivals[r])};
        const bool better =
            r == 0 || s.frames > best.frames ||
            (s.frames == best.frames &&
             (s.elapsed_error < best.elapsed_error ||
              (s.elapsed_error == best.elapsed_error && s.known_phase && !best.known_phase)));
        if (better) best = s;
    }
    return best.at;
}

FrameSync::Chain FrameSync::chain_at(std::size_t i, std::size_t max) const {
    Chain c;
    while (c.frames < max) {
        const std::size_t pos = i + c.frames * kFrameSize;
        if (available() < pos + kFrameSize) {
            c.ran_out = true;
            break;
        }
        if (!is_candidate(pos)) break;
        ++c.frames;
    }
    return c;
}

bool FrameSync::qualifies(const Chain& c, bool final) const {
    if (c.frames >= kVerifyFrames) return true;
    return final && c.ran_out && c.frames >= kMinFinalChainFrames;
}

bool FrameSync::is_candidate(std::size_t i) const {
    return frame_is_candidate(at(i), after_text(i));
}

// How far the elapsed bytes of a chain are from one tick per frame, in 1/2000 ms.
std::uint64_t FrameSync::chain_elapsed_error(std::size_t i, std::size_t frames) const {
    std::uint64_t sum = 0;
    std::uint64_t counted = 0;
    for (std::size_t k = 0; k < frames; ++k) {
        const std::size_t pos = i + k * kFrameSize;
        if (after_text(pos)) continue;  // counts from the device's start
        sum += at(pos)[kElapsedOffset];
        ++counted;
    }
    const std::uint64_t measured = sum * kTickMsDenominator;
    const std::uint64_t expected = counted * kTickMsNumerator;
    return measured > expected ? measured - expected : expected - measured;
}

bool FrameSync::on_known_phase(std::size_t i) const {
    const std::uint64_t o = offset_of(i);
    return (anchored_ && o >= anchor_ && same_phase(o, anchor_)) ||
           (expecting_ && same_phase(o, expect_at_));
}

void FrameSync::acquire() {
    mode_ = Mode::kLocked;
    expecting_ = false;
    ++counters_.locks;
    if (locked_in_session_) ++counters_.resyncs;
    locked_in_session_ = true;
}

void FrameSync::emit_frame() {
    const RawFrame f = parse_frame(at(0), offset_of(0));
    consume(kFrameSize);
    ++counters_.frames;
    text_.reset();
    sink_.on_frame(f);
}

void FrameSync::skip(std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint8_t b = *at(0);
        consume(1);
        ++counters_.skipped_bytes;
        if (!text_.push(b)) continue;
        // A text line between frames: the device printed its banner after a reset.
        const std::size_t bytes = text_.line_bytes();
        counters_.skipped_bytes -= bytes;
        counters_.text_bytes += bytes;
        ++counters_.text_lines;
        anchored_ = true;
        anchor_ = offset_of(0);
        expecting_ = false;
        locked_in_session_ = false;
        sink_.on_text_line(text_.line(), anchor_ - bytes, anchor_);
    }
}

}  // namespace capture
