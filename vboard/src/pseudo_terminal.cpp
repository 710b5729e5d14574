#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace vboard {

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("pseudo-terminal: ") + what + ": " + std::strerror(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        ::close(master_);
        fail("grantpt/unlockpt");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        ::close(master_);
        fail("ptsname");
    }
    path_ = name;
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        ::close(master_);
        fail("open slave");
    }
    termios raw{};
    if (tcgetattr(slave_, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
    }
}

PseudoTerminal::~PseudoTerminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

void PseudoTerminal::wait_for_peer() {
    constexpr int kPollMs = 10;
    // Our own slave descriptor keeps the line up; without it the master
    // shows a hang-up until someone else opens the slave. The raw settings
    // stay with the terminal.
    ::close(slave_);
    slave_ = -1;
    for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) < 0 && errno != EINTR) fail("poll");
        if (!(p.revents & POLLHUP)) break;
        ::usleep(kPollMs * 1000);
    }
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) fail("open slave");
}

std::size_t PseudoTerminal::write_some(const std::uint8_t* bytes, std::size_t size) {
    const ssize_t n = ::write(master_, bytes, size);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t PseudoTerminal::read_some(std::uint8_t* buffer, std::size_t capacity) {
    const ssize_t n = ::read(master_, buffer, capacity);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace vboard
