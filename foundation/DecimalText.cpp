#include "foundation/DecimalText.h"

#include <cstring>
#include <new>

namespace {

unsigned long magnitudeOf(long value) {
    // Negating in unsigned arithmetic keeps LONG_MIN representable.
    return value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
}

char* newDecimal(unsigned long magnitude, bool negative) {
    int digits = 1;
    for (unsigned long rest = magnitude / 10; rest != 0; rest /= 10) {
        ++digits;
    }
    char* text = new (std::nothrow) char[digits + 2];
    if (text == nullptr) {
        return nullptr;
    }
    int n = 0;
    do {
        text[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        text[n++] = '-';
    }
    text[n] = '\0';
    reverse(text);
    return text;
}

} // namespace

void reverse(char* s) {
    if (s == nullptr) {
        return;
    }
    std::size_t length = std::strlen(s);
    for (std::size_t i = 0, j = length; i + 1 < j; ++i, --j) {
        char c = s[i];
        s[i] = s[j - 1];
        s[j - 1] = c;
    }
}

char* itoa(unsigned long value) {
    return newDecimal(value, false);
}

char* itoa(long value) {
    return newDecimal(magnitudeOf(value), value < 0);
}

char* itoa(short value) {
    return itoa(static_cast<long>(value));
}

void itoa(char* buffer, short size, long value) {
    if (buffer == nullptr || size <= 0) {
        return;
    }
    unsigned long magnitude = magnitudeOf(value);
    int room = size - 1; // bytes before the NUL
    bool sign = value < 0 && room > 0;
    int digitRoom = room - (sign ? 1 : 0);
    int n = 0;
    while (n < digitRoom) {
        buffer[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        if (magnitude == 0) {
            break;
        }
    }
    if (sign) {
        buffer[n++] = '-';
    }
    buffer[n] = '\0';
    reverse(buffer);
}
