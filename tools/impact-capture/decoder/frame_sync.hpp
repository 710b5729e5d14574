// Finds the frames in the byte stream: hunts for a header, verifies a chain of frames before it
// locks, then checks only the expected positions, tolerating a few misses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "frame.hpp"
#include "text_lines.hpp"

namespace capture {

// Frames in a row that a hunt must see before it locks.
constexpr std::size_t kVerifyFrames = 4;
// When other phases verify as well, chains are followed this far to tell them apart.
constexpr std::size_t kRivalFrames = 24;
// Consecutive missed frames after which the old phase is still tried once more.
constexpr unsigned kToleratedMisses = 3;
// At the end of the data a shorter chain is enough, but not a lone frame.
constexpr std::size_t kMinFinalChainFrames = 2;

class FrameSyncSink {
  public:
    virtual ~FrameSyncSink() = default;
    virtual void on_frame(const RawFrame& frame) = 0;
    // A text line found between frames, from stream offset `begin` up to `end` (its LF included).
    virtual void on_text_line(std::string_view text, std::uint64_t begin, std::uint64_t end) = 0;
};

struct SyncCounters {
    std::uint64_t bytes = 0;          // bytes fed
    std::uint64_t frames = 0;         // frames delivered
    std::uint64_t skipped_bytes = 0;  // bytes in neither a frame nor a text line
    std::uint64_t text_bytes = 0;     // bytes of text lines, line ends included
    std::uint64_t text_lines = 0;
    std::uint64_t locks = 0;             // locks won by a verified hunt
    std::uint64_t resyncs = 0;           // locks won again after a lock in the same device session
    std::uint64_t missed_frames = 0;     // frames missing where a lock that held on expected one
    std::uint64_t truncated_frames = 0;  // frames cut short by the next header or by the end
};

class FrameSync {
  public:
    explicit FrameSync(FrameSyncSink& sink) : sink_(sink) {}

    void feed(const std::uint8_t* data, std::size_t size);
    // No more data: decides what is left with what there is.
    void finish();

    const SyncCounters& counters() const { return counters_; }
    bool locked() const { return mode_ == Mode::kLocked; }
    // Bytes fed but not yet decided.
    std::size_t pending() const { return available(); }

  private:
    enum class Mode { kHunting, kLocked };
    enum class Step { kProgress, kNeedMore };
    enum class Verdict { kAccept, kMiss, kShift, kNeedMore };

    struct Chain {
        std::size_t frames = 0;
        bool ran_out = false;  // the data ended before the chain broke or reached its length
    };

    Step step(bool final);
    Step step_locked(bool final);
    Step step_hunting(bool final);
    Verdict check_expected(bool final, std::size_t& shift_to);
    std::optional<std::size_t> choose_phase(std::size_t first, bool final);

    Chain chain_at(std::size_t i, std::size_t max) const;
    bool qualifies(const Chain& c, bool final) const;
    bool is_candidate(std::size_t i) const;
    bool after_text(std::size_t i) const { return anchored_ && offset_of(i) == anchor_; }
    std::uint64_t chain_elapsed_error(std::size_t i, std::size_t frames) const;
    bool on_known_phase(std::size_t i) const;

    void acquire();
    void emit_frame();
    void skip(std::size_t n);
    void consume(std::size_t n) { head_ += n; }

    std::size_t available() const { return buffer_.size() - head_; }
    const std::uint8_t* at(std::size_t i) const { return buffer_.data() + head_ + i; }
    std::uint64_t offset_of(std::size_t i) const { return counters_.bytes - available() + i; }

    FrameSyncSink& sink_;
    std::vector<std::uint8_t> buffer_;
    std::size_t head_ = 0;
    Mode mode_ = Mode::kHunting;

    // After a miss the old phase is tried again at `expect_at_`.
    bool expecting_ = false;
    std::uint64_t expect_at_ = 0;
    unsigned misses_ = 0;

    // Where the latest text line ended: a frame right there follows a device start.
    bool anchored_ = false;
    std::uint64_t anchor_ = 0;

    bool locked_in_session_ = false;
    TextLines text_;
    SyncCounters counters_;
};

}  // namespace capture
