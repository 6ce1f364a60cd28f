// Integers written as decimal text.
//
// The allocating forms return a new array that the caller frees with delete[]; it is sized for
// the digits plus two bytes and holds the value's text with a leading "-" for a negative value.
// They return null when the array cannot be allocated. The lowest value of each signed type is
// written correctly: magnitudes are taken in unsigned arithmetic.
#pragma once

// Reverses a NUL-terminated text in place; a null pointer does nothing.
void reverse(char* s);

char* itoa(unsigned long value);
char* itoa(long value);
char* itoa(short value);

// Writes the decimal text of value into buffer, never more than size bytes including the "-"
// and the NUL. When the text does not fit, its most significant digits are dropped, the sign and
// the NUL are kept: with size 3, 12345 gives "45" and -12345 gives "-5". A size of 1 writes only
// the NUL; a size of 0 or less, or a null buffer, writes nothing.
void itoa(char* buffer, short size, long value);
