// Print: the character-output base of the byte streams.
//
// Text, integers in any base and doubles become bytes handed to the byte sink
// of the derived class (virtual slot 0, or slot 1 for a run of bytes). Print
// keeps no buffer and no state between calls. Numbers follow the target's
// 32-bit long, on whatever compiler this is built.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int DEC = 10;
constexpr int HEX = 16;
constexpr int OCT = 8;
constexpr int BIN = 2;

class Print {
  public:
    Print();

    // Virtual slots 0 to 3, in this order.
    // Byte sink: bytes accepted, 0 or 1.
    virtual size_t write(uint8_t) = 0;
    // Slot 0 for each byte until one is refused; the bytes accepted.
    virtual size_t write(const uint8_t* buffer, size_t size);
    virtual int availableForWrite();
    virtual void flush() = 0;

    // A null pointer writes nothing. The string's bytes through slot 1.
    size_t write(const char* str);

    size_t print(const char str[]);
    size_t print(char c);
    size_t print(int n, int base = DEC);
    // Base 0: one raw byte. Only base 10 prints a minus sign; other bases
    // print the 32-bit pattern.
    size_t print(long n, int base = DEC);
    // Base 0: one raw byte.
    size_t print(unsigned long n, int base = DEC);

    // Each ends with "\r\n".
    size_t println();
    size_t println(const char c[]);
    size_t println(int num, int base = DEC);
    size_t println(unsigned char b, int base = DEC);
    size_t println(double num, int digits = 2);

  private:
    // Digits of n in base (0 and 1 mean 10).
    size_t printNumber(unsigned long n, uint8_t base);
    // Fixed point with `digits` places, rounded half away from zero; "nan",
    // "inf" and "ovf" (beyond +-4294967040) otherwise.
    size_t printFloat(double number, uint8_t digits);

    int write_error;
};
