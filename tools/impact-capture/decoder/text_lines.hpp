// Finds text lines among the bytes that are not part of frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace capture {

// Shorter printable runs before a line end are taken for binary noise.
constexpr std::size_t kMinTextLineChars = 4;
// Longer lines are kept up to this many characters.
constexpr std::size_t kMaxTextLineChars = 256;

class TextLines {
  public:
    // Takes the next byte; true when it completed a line (see line() and line_bytes()).
    bool push(std::uint8_t byte);
    // Forgets a partial line, e.g. when a frame interrupts it.
    void reset();

    std::string_view line() const { return line_; }
    // Bytes on the wire of the completed line, its CR and LF included.
    std::size_t line_bytes() const { return line_bytes_; }

  private:
    std::string partial_;
    std::size_t partial_bytes_ = 0;  // on the wire, CR included
    std::size_t partial_chars_ = 0;  // printable characters, also those beyond the kept length
    bool saw_cr_ = false;
    std::string line_;
    std::size_t line_bytes_ = 0;
};

}  // namespace capture
