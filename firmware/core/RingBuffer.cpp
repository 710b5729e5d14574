#include "core/RingBuffer.h"

#include <atomic>

namespace {

static_assert((SERIAL_BUFFER_SIZE & (SERIAL_BUFFER_SIZE - 1)) == 0,
              "index stepping masks the low bits: the size is a power of two");
constexpr uint32_t kIndexMask = SERIAL_BUFFER_SIZE - 1;
constexpr int kEmpty = -1;

// Keeps the compiler from moving the data access across the index access that
// publishes it to the other side (a single core: ordering the compiler's
// accesses is all it takes).
inline void publishAfterData() {
    std::atomic_signal_fence(std::memory_order_release);
}
inline void dataAfterIndex() {
    std::atomic_signal_fence(std::memory_order_acquire);
}

}  // namespace

RingBuffer::RingBuffer() {
    for (uint8_t& b : _aucBuffer) {
        b = 0;
    }
    _iHead = 0;
    _iTail = 0;
}

int RingBuffer::nextIndex(int index) {
    return static_cast<int>((static_cast<uint32_t>(index) + 1u) & kIndexMask);
}

void RingBuffer::store_char(uint8_t c) {
    const int head = _iHead;
    const int next = nextIndex(head);
    if (next == _iTail) {
        return;  // full: the new byte is lost
    }
    dataAfterIndex();
    _aucBuffer[head] = c;
    publishAfterData();
    _iHead = next;
}

void RingBuffer::clear() {
    _iHead = 0;
    _iTail = 0;
}

int RingBuffer::read_char() {
    const int tail = _iTail;
    if (tail == _iHead) {
        return kEmpty;
    }
    dataAfterIndex();
    const uint8_t value = _aucBuffer[tail];
    publishAfterData();
    _iTail = nextIndex(tail);
    return value;
}

int RingBuffer::available() {
    const int delta = _iHead - _iTail;
    return delta < 0 ? SERIAL_BUFFER_SIZE + delta : delta;
}

int RingBuffer::availableForStore() {
    const int head = _iHead;
    const int tail = _iTail;
    if (head >= tail) {
        return SERIAL_BUFFER_SIZE - 1 - head + tail;
    }
    return tail - head - 1;
}

int RingBuffer::peek() {
    const int tail = _iTail;
    if (tail == _iHead) {
        return kEmpty;
    }
    dataAfterIndex();
    return _aucBuffer[tail];
}

bool RingBuffer::isFull() {
    return nextIndex(_iHead) == _iTail;
}
