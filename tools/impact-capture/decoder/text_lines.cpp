#include "text_lines.hpp"

namespace capture {

namespace {
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

bool printable(std::uint8_t b) {
    return b == kTab || (b >= kFirstPrintable && b <= kLastPrintable);
}
}  // namespace

void TextLines::reset() {
    partial_.clear();
    partial_bytes_ = 0;
    partial_chars_ = 0;
    saw_cr_ = false;
}

bool TextLines::push(std::uint8_t byte) {
    if (byte == kLineFeed) {
        const bool complete = partial_chars_ >= kMinTextLineChars;
        if (complete) {
            line_.swap(partial_);
            line_bytes_ = partial_bytes_ + 1;
        }
        reset();
        return complete;
    }
    if (saw_cr_ || !(printable(byte) || byte == kCarriageReturn)) {
        // A CR not followed by LF, or a byte that is not text, ends any partial line.
        reset();
        if (!printable(byte) && byte != kCarriageReturn) return false;
    }
    if (byte == kCarriageReturn) {
        saw_cr_ = true;
    } else {
        if (partial_.size() < kMaxTextLineChars) partial_.push_back(static_cast<char>(byte));
        ++partial_chars_;
    }
    ++partial_bytes_;
    return false;
}

}  // namespace capture
