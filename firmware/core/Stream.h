// Stream: a Print that can also be read from (virtual slots 4 to 6).
#pragma once

#include "core/Print.h"

class Stream : public Print {
  public:
    Stream();

    // Bytes waiting to be read.
    virtual int available() = 0;
    // The next byte, removed; -1 when nothing is there.
    virtual int read() = 0;
    // The next byte, kept; -1 when nothing is there.
    virtual int peek() = 0;

  protected:
    unsigned long _timeout;      // milliseconds
    unsigned long _startMillis;  // left as static initialisation made it
};
