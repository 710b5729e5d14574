#include "byte_source.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "capture_error.hpp"
#include "serial_port.hpp"

namespace capture {

namespace {

class FdSource : public ByteSource {
  public:
    FdSource(int fd, bool owned, bool device, std::string name, unsigned baud)
        : fd_(fd), owned_(owned), device_(device), name_(std::move(name)), baud_(baud) {}
    ~FdSource() override {
        if (owned_) ::close(fd_);
    }

    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeout_ms) override {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeout_ms);
        if (ready < 0) {
            if (errno == EINTR) return {ReadResult::Status::kTimeout};
            return {ReadResult::Status::kLost, 0, errno};
        }
        if (ready == 0) return {ReadResult::Status::kTimeout};
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n > 0) return {ReadResult::Status::kData, static_cast<std::size_t>(n)};
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return {ReadResult::Status::kTimeout};
        if (n < 0) return {ReadResult::Status::kLost, 0, errno};
        // End of data: of a file or pipe it is the end; a device that reads 0 has hung up.
        if (device_) return {ReadResult::Status::kLost, 0, 0};
        return {ReadResult::Status::kEnd};
    }
    bool is_device() const override { return device_; }
    const std::string& name() const override { return name_; }
    unsigned baud() const override { return baud_; }

  private:
    int fd_;
    bool owned_;
    bool device_;
    std::string name_;
    unsigned baud_;
};

std::unique_ptr<ByteSource> device_source(const SerialPort& p, const std::string& path,
                                          unsigned baud) {
    return std::make_unique<FdSource>(p.fd, true, true, path, p.actual_baud ? p.actual_baud : baud);
}

std::unique_ptr<ByteSource> open_device(const std::string& path, unsigned baud) {
    return device_source(open_serial(path, baud), path, baud);
}

std::unique_ptr<ByteSource> open_file(const std::string& path) {
    if (path == "-") return std::make_unique<FdSource>(STDIN_FILENO, false, false, "stdin", 0);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CaptureError(describe_errno(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw CaptureError(describe_errno(path, EISDIR));
    }
    return std::make_unique<FdSource>(fd, true, false, path, 0);
}

}  // namespace

std::unique_ptr<ByteSource> open_source(const Options& options) {
    switch (options.source_kind) {
        case SourceKind::kDevice:
            return open_device(options.source, options.baud);
        case SourceKind::kFile:
            return open_file(options.source);
        case SourceKind::kAuto:
            break;
    }
    if (options.source == "-") return open_file("-");
    struct stat st {};
    if (::stat(options.source.c_str(), &st) != 0) {
        throw CaptureError(describe_errno(options.source, errno));
    }
    if (S_ISCHR(st.st_mode)) {
        // A terminal device is a serial port or pty; other character devices are read as files.
        const int fd = ::open(options.source.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) throw CaptureError(describe_errno(options.source, errno));
        if (::isatty(fd)) {
            return device_source(configure_serial(fd, options.source, options.baud), options.source,
                                 options.baud);
        }
        ::close(fd);
    }
    return open_file(options.source);
}

}  // namespace capture
