#include "foundation/CString256.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxLength = 255;

// The C text of a Pascal string; a null pointer gives the empty text.
void pascalToC(const unsigned char* pascal, char (&out)[256]) {
    std::size_t length = pascal == nullptr ? 0 : pascal[0];
    if (length > 0) {
        std::memcpy(out, pascal + 1, length);
    }
    out[length] = '\0';
}

bool asciiGraphic(unsigned char c) {
    return c > ' ' && c < 0x7F;
}

} // namespace

CString256::CString256() {
    text[0] = '\0';
}

CString256::CString256(const char* s) {
    *this = s;
}

CString256::CString256(const CString256& other) {
    *this = other.text;
}

CString256::CString256(const unsigned char* pascal) {
    *this = pascal;
}

CString256& CString256::operator=(const CString256& other) {
    return *this = other.text;
}

CString256& CString256::operator=(const char* s) {
    std::size_t length = s == nullptr ? 0 : strnlen(s, kMaxLength);
    std::memmove(text, s == nullptr ? "" : s, length);
    text[length] = '\0';
    return *this;
}

CString256& CString256::operator=(const unsigned char* pascal) {
    char converted[256];
    pascalToC(pascal, converted);
    return *this = converted;
}

CString256& CString256::operator=(long value) {
    char decimal[31];
    itoa(decimal, sizeof decimal, value);
    return *this = decimal;
}

CString256& CString256::assign(char** handle, long handleSize) {
    if (handle == nullptr || *handle == nullptr || handleSize <= 0) {
        text[0] = '\0';
        return *this;
    }
    auto length = static_cast<std::size_t>(std::min<long>(handleSize, kMaxLength));
    std::memmove(text, *handle, length);
    text[length] = '\0';
    return *this;
}

CString256& CString256::operator+=(const char* s) {
    if (s == nullptr) {
        return *this;
    }
    std::size_t length = std::strlen(text);
    std::size_t added = strnlen(s, kMaxLength - length);
    std::memmove(text + length, s, added);
    text[length + added] = '\0';
    return *this;
}

CString256& CString256::operator+=(const CString256& other) {
    return *this += other.text;
}

CString256& CString256::operator+=(const unsigned char* pascal) {
    char converted[256];
    pascalToC(pascal, converted);
    return *this += converted;
}

CString256& CString256::operator+=(long value) {
    char decimal[31];
    itoa(decimal, sizeof decimal, value);
    return *this += decimal;
}

CString256& CString256::operator+=(char c) {
    std::size_t length = std::strlen(text);
    if (c != '\0' && length <= kMaxLength - 2) {
        text[length] = c;
        text[length + 1] = '\0';
    }
    return *this;
}

void CString256::to_lower() {
    for (char* p = text; *p != '\0'; ++p) {
        *p = static_cast<char>(AsciiLower(static_cast<unsigned char>(*p)));
    }
}

void CString256::filter_to_alnum_or_punct() {
    char* kept = text;
    for (const char* p = text; *p != '\0'; ++p) {
        if (asciiGraphic(static_cast<unsigned char>(*p))) {
            *kept++ = *p;
        }
    }
    *kept = '\0';
}

void CString256::change_suffix(const char* suffix) {
    if (char* dot = std::strrchr(text, '.')) {
        *dot = '\0';
    }
    *this += ".";
    *this += suffix;
}

bool CString256::beginsWith(const CString256* other, unsigned char nocase) const {
    return beginsWith(other->text, nocase);
}

bool CString256::beginsWith(const char* other, unsigned char nocase) const {
    auto length = static_cast<int>(std::strlen(other));
    return (nocase != 0 ? STRNCMP(text, other, length) : std::strncmp(text, other, length)) == 0;
}

bool CString256::endsWith(const CString256* other, unsigned char nocase) const {
    return endsWith(other->text, nocase);
}

bool CString256::endsWith(const char* other, unsigned char nocase) const {
    std::size_t length = std::strlen(text);
    std::size_t otherLength = std::strlen(other);
    if (length < otherLength) {
        return false;
    }
    const char* tail = text + length - otherLength;
    auto n = static_cast<int>(otherLength);
    return (nocase != 0 ? STRNCMP(tail, other, n) : std::strncmp(tail, other, n)) == 0;
}

bool CString256::beginsWith_nocase(const CString256& other) const {
    return beginsWith(&other, 1);
}

bool CString256::beginsWith_nocase(const char* other) const {
    return beginsWith(other, 1);
}

bool CString256::endsWith_nocase(const CString256& other) const {
    return endsWith(&other, 1);
}

bool CString256::endsWith_nocase(const char* other) const {
    return endsWith(other, 1);
}

long CString256::print(char* buffer) const {
    std::strcat(buffer, text);
    auto length = static_cast<long>(std::strlen(buffer));
    std::strcat(buffer, "\n");
    return length;
}

short CString256::print(short fileDescriptor) const {
    constexpr short ioErr = -36;
    char line[257];
    std::size_t length = std::strlen(text);
    std::memcpy(line, text, length);
    line[length] = '\n';
    ssize_t written;
    do {
        written = ::write(fileDescriptor, line, length + 1);
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(length + 1) ? 0 : ioErr;
}
