// RingBuffer: the fixed-size byte queue behind every buffered byte stream.
//
// One producer and one consumer, one of which may be an interrupt handler:
// only the producer writes _iHead (store_char), only the consumer writes
// _iTail (read_char). Each side writes its data before publishing its index,
// and every operation reads the indices afresh, so no lock is needed.
#pragma once

#include <cstdint>

// Storage bytes of every ring; one slot always stays free, so a ring holds
// at most SERIAL_BUFFER_SIZE - 1 bytes.
constexpr int SERIAL_BUFFER_SIZE = 512;

class RingBuffer {
  public:
    // All storage bytes 0, the ring empty.
    RingBuffer();

    // Queues c; a full ring drops it.
    void store_char(uint8_t c);
    // Empties the ring (indices only); only while the other side is quiet.
    void clear();
    // The oldest byte (0 to 255), removed; -1 when empty.
    int read_char();
    // Stored bytes, 0 to 511.
    int available();
    // Free places, 0 to 511.
    int availableForStore();
    // The oldest byte (0 to 255), kept; -1 when empty.
    int peek();
    bool isFull();

  private:
    static int nextIndex(int index);

    uint8_t _aucBuffer[SERIAL_BUFFER_SIZE];
    volatile int _iHead;
    volatile int _iTail;
};
