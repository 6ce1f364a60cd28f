#include "foundation/CString256.h"
#include "foundation/MacRoman.h"

#include <QString>

namespace {

// The Mac Roman text of s, cut to 255 bytes; empty when s holds a character that Mac Roman
// lacks.
void toMacRoman(const QString& s, char (&out)[256]) {
    std::size_t kept = 0;
    for (QChar c : s) {
        std::optional<unsigned char> byte = MacRomanByte(c.unicode());
        if (!byte) {
            out[0] = '\0';
            return;
        }
        if (kept < 255) {
            out[kept++] = static_cast<char>(*byte);
        }
    }
    out[kept] = '\0';
}

} // namespace

CString256& CString256::operator=(const QString& s) {
    char converted[256];
    toMacRoman(s, converted);
    return *this = converted;
}

CString256& CString256::operator+=(const QString& s) {
    char converted[256];
    toMacRoman(s, converted);
    return *this += converted;
}

QString CString256::MakeCFString() const {
    return QString::fromUtf8(text);
}
