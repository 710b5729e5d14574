// A buffered output file (or standard output) that reports write failures plainly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace capture {

class OutputFile {
  public:
    // "-" is standard output. Throws CaptureError when the file cannot be created.
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throw CaptureError on a write failure (disk full, ...). A reader that went away
    // (EPIPE) ends the output quietly: broken() turns true and writes are dropped.
    void write(const void* data, std::size_t size);
    void write(std::string_view s) { write(s.data(), s.size()); }
    void flush();
    void close();

    bool broken() const { return broken_; }
    const std::string& path() const { return path_; }

  private:
    void write_through(const char* data, std::size_t size);

    std::string path_;
    int fd_ = -1;
    bool owned_ = false;
    bool broken_ = false;
    std::vector<char> buffer_;
};

}  // namespace capture
