#include "output_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "capture_error.hpp"

namespace capture {

namespace {
constexpr std::size_t kBufferBytes = 1 << 16;
constexpr mode_t kFileMode = 0644;
}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path == "-" ? "standard output" : path) {
    if (path == "-") {
        fd_ = STDOUT_FILENO;
    } else {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
        if (fd_ < 0) throw CaptureError(describe_errno(path, errno));
        owned_ = true;
    }
    buffer_.reserve(kBufferBytes);
}

OutputFile::~OutputFile() {
    try {
        close();
    } catch (const CaptureError&) {
        // Reported by an explicit close(); a destructor has no one to tell.
    }
}

void OutputFile::write(const void* data, std::size_t size) {
    if (broken_) return;
    const char* p = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferBytes) {
        flush();
        if (size >= kBufferBytes) {
            write_through(p, size);
            return;
        }
    }
    buffer_.insert(buffer_.end(), p, p + size);
}

void OutputFile::flush() {
    if (buffer_.empty()) return;
    // Cleared first: after a failure the same bytes are not tried again.
    std::vector<char> pending;
    pending.swap(buffer_);
    buffer_.reserve(kBufferBytes);
    write_through(pending.data(), pending.size());
}

void OutputFile::write_through(const char* data, std::size_t size) {
    while (size > 0 && !broken_) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EPIPE) {
            broken_ = true;
            return;
        }
        if (n <= 0) {
            broken_ = true;
            throw CaptureError("cannot write " + describe_errno(path_, n < 0 ? errno : ENOSPC));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    try {
        flush();
    } catch (...) {
        if (owned_) ::close(fd);
        fd_ = -1;
        throw;
    }
    fd_ = -1;
    if (owned_ && ::close(fd) != 0 && errno != EINTR) {
        throw CaptureError("cannot write " + describe_errno(path_, errno));
    }
}

}  // namespace capture
