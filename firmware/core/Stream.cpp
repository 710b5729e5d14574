#include "core/Stream.h"

namespace {
constexpr unsigned long kDefaultTimeoutMs = 1000;
}  // namespace

Stream::Stream() : _timeout(kDefaultTimeoutMs) {}
