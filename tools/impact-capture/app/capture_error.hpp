// A failure that ends the capture with a message for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace capture {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDeviceLost = 3;

class CaptureError : public std::runtime_error {
  public:
    explicit CaptureError(const std::string& message, int exit_code = kExitError)
        : std::runtime_error(message), exit_code_(exit_code) {}
    int exit_code() const { return exit_code_; }

  private:
    int exit_code_;
};

// "PATH: <what errno says>", with plainer words for the usual cases.
std::string describe_errno(const std::string& path, int err);

}  // namespace capture
