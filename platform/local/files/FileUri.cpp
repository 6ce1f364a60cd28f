#include "platform/local/files/FileUri.h"

namespace platform {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray encodeFileUri(const QByteArray& absolutePath, std::string_view alsoKept) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + absolutePath.size() * 3);
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte) || byte == '/' || alsoKept.find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

std::optional<QByteArray> decodeFileUri(const QByteArray& line) {
    QByteArray uri = line;
    if (uri.endsWith('\r'))
        uri.chop(1);
    constexpr qsizetype kSchemeLength = 7;
    if (uri.size() < kSchemeLength ||
        uri.first(kSchemeLength).compare("file://", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const qsizetype pathStart = uri.indexOf('/', kSchemeLength);
    if (pathStart < 0)
        return std::nullopt;
    const QByteArray host = uri.mid(kSchemeLength, pathStart - kSchemeLength);
    if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0)
        return std::nullopt;

    QByteArray path;
    path.reserve(uri.size() - pathStart);
    for (qsizetype i = pathStart; i < uri.size(); ++i) {
        const auto byte = static_cast<unsigned char>(uri[i]);
        // A raw '?' or '#' would start a query or fragment, which a file path cannot have.
        if (byte < 0x20 || byte == 0x7F || byte == '?' || byte == '#')
            return std::nullopt;
        if (byte != '%') {
            path += char(byte);
            continue;
        }
        if (i + 2 >= uri.size())
            return std::nullopt;
        const int high = hexValue(uri[i + 1]);
        const int low = hexValue(uri[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        path += char(high * 16 + low);
        i += 2;
    }
    return path;
}

} // namespace platform
