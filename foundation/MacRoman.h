// The Mac OS Roman encoding, in which the system's texts are stored.
//
// Bytes 0x00 to 0x7F are ASCII; bytes 0x80 to 0xFF stand for 128 other characters, among them
// the accented Latin letters, typographic quotes and the euro sign (0xDB).
#pragma once

#include <optional>

// The Mac Roman byte of a UTF-16 code unit; none for a character Mac Roman lacks (a surrogate
// never has one).
std::optional<unsigned char> MacRomanByte(char16_t unit);

// The character a Mac Roman byte stands for.
char16_t MacRomanCharacter(unsigned char byte);
