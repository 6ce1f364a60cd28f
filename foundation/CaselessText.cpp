#include "foundation/CaselessText.h"

int STRNCMP(const char* a, const char* b, int n) {
    for (int i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (AsciiUpper(ca) != AsciiUpper(cb)) {
            return ca - cb;
        }
        if (ca == '\0') {
            return 0;
        }
    }
    return 0;
}

const char* STRSTR(const char* text, const char* searched) {
    for (const char* start = text;; ++start) {
        const char* t = start;
        const char* s = searched;
        while (*s != '\0' && AsciiUpper(static_cast<unsigned char>(*t)) ==
                                 AsciiUpper(static_cast<unsigned char>(*s))) {
            ++t;
            ++s;
        }
        if (*s == '\0') {
            return start;
        }
        if (*start == '\0') {
            return nullptr;
        }
    }
}
