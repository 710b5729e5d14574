#include "core/Print.h"

#include <cmath>
#include <cstring>

namespace {

// One digit place per bit of a 32-bit value (base 2), and the terminating NUL.
constexpr size_t kNumberBufferSize = 8 * sizeof(uint32_t) + 1;
constexpr uint8_t kSmallestBase = 2;
constexpr uint32_t kDecimalDigits = 10;
// Digit values from 10 up become 'A' onwards.
constexpr uint32_t kLetterDigitOffset = 'A' - 10;
static_assert(kLetterDigitOffset == 55);

// Largest magnitude printFloat prints as a number: 2^32 - 256, so that adding
// the rounding term still fits an unsigned 32-bit integer part.
constexpr double kLargestPrintable = 4294967040.0;

constexpr char kLineEnd[] = "\r\n";

}  // namespace

Print::Print() : write_error(0) {}

size_t Print::write(const uint8_t* buffer, size_t size) {
    size_t n = 0;
    while (n < size) {
        if (write(buffer[n]) == 0) {
            break;
        }
        ++n;
    }
    return n;
}

int Print::availableForWrite() {
    return 0;
}

size_t Print::write(const char* str) {
    if (str == nullptr) {
        return 0;
    }
    return write(reinterpret_cast<const uint8_t*>(str), std::strlen(str));
}

size_t Print::print(const char str[]) {
    return write(str);
}

size_t Print::print(char c) {
    return write(static_cast<uint8_t>(c));
}

size_t Print::print(int n, int base) {
    return print(static_cast<long>(n), base);
}

size_t Print::print(long n, int base) {
    const auto value = static_cast<int32_t>(n);
    if (base == 0) {
        return write(static_cast<uint8_t>(value));
    }
    if (base == DEC && value < 0) {
        const size_t sign = print('-');
        return sign + printNumber(0u - static_cast<uint32_t>(value), DEC);
    }
    return printNumber(static_cast<uint32_t>(value), static_cast<uint8_t>(base));
}

size_t Print::print(unsigned long n, int base) {
    if (base == 0) {
        return write(static_cast<uint8_t>(n));
    }
    return printNumber(n, static_cast<uint8_t>(base));
}

size_t Print::println() {
    return write(kLineEnd);
}

size_t Print::println(const char c[]) {
    const size_t n = write(c);
    return n + println();
}

size_t Print::println(int num, int base) {
    const size_t n = print(static_cast<long>(num), base);
    return n + println();
}

size_t Print::println(unsigned char b, int base) {
    const size_t n = print(static_cast<unsigned long>(b), base);
    return n + println();
}

size_t Print::println(double num, int digits) {
    const size_t n = printFloat(num, static_cast<uint8_t>(digits));
    return n + println();
}

size_t Print::printNumber(unsigned long n, uint8_t base) {
    char buf[kNumberBufferSize];
    char* str = &buf[sizeof(buf) - 1];
    *str = '\0';
    if (base < kSmallestBase) {
        base = DEC;
    }
    auto value = static_cast<uint32_t>(n);
    do {
        const uint32_t digit = value % base;
        value /= base;
        const uint32_t code = digit < kDecimalDigits ? '0' + digit : kLetterDigitOffset + digit;
        *--str = static_cast<char>(static_cast<uint8_t>(code));
    } while (value != 0);
    return write(str);
}

size_t Print::printFloat(double number, uint8_t digits) {
    if (std::isnan(number)) {
        return print("nan");
    }
    if (std::isinf(number)) {
        return print("inf");
    }
    if (number > kLargestPrintable || number < -kLargestPrintable) {
        return print("ovf");
    }

    size_t n = 0;
    if (number < 0.0) {
        n = print('-');
        number = -number;
    }

    double rounding = 0.5;
    for (uint8_t i = 0; i < digits; ++i) {
        rounding /= 10.0;
    }
    number += rounding;

    const auto intPart = static_cast<uint32_t>(number);
    double remainder = number - static_cast<double>(intPart);
    n += printNumber(intPart, DEC);

    if (digits > 0) {
        n += print('.');
    }
    for (uint8_t place = 0; place < digits; ++place) {
        remainder *= 10.0;
        const auto toPrint = static_cast<uint32_t>(remainder);
        n += printNumber(toPrint, DEC);
        remainder -= static_cast<double>(toPrint);
    }
    return n;
}
