// Comparison and search of C texts without regard to ASCII letter case.
//
// Bytes are upper-cased as ASCII only (a-z to A-Z); every other byte, including those from 128
// up, compares as it is. This does not depend on the process locale.
#pragma once

// Compares at most n bytes of a and b, both upper-cased. At the first difference returns the
// difference of the two bytes as they stand in the texts (as unsigned values, not upper-cased):
// "abc" and "ABD" give 'c' - 'D'. Returns 0 when n bytes compared equal or both texts ended.
int STRNCMP(const char* a, const char* b, int n);

// The first position in text where searched occurs, both upper-cased; null when it does not
// occur. An empty searched text is found at the start of text.
const char* STRSTR(const char* text, const char* searched);

// The byte with an ASCII letter's case changed; every other byte as it is.
inline unsigned char AsciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

inline unsigned char AsciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
