// Web location files as macOS, Windows and freedesktop desktops write them, for the tests.
#pragma once

#include <QByteArray>
#include <QtEndian>

namespace fixtures {

// An XML property list of one dictionary holding `url` under "URL", as macOS writes a .webloc.
inline QByteArray XmlWebloc(const QByteArray& url) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n\t<key>URL</key>\n\t<string>" +
           url + "</string>\n</dict>\n</plist>\n";
}

// The same as a binary property list ("bplist00"): the dictionary, the key and the string as
// three objects, one-byte references, two-byte offsets, and the 32-byte trailer.
inline QByteArray BinaryWebloc(const QByteArray& url) {
    QByteArray bytes("bplist00");
    QList<int> offsets;
    offsets << int(bytes.size());
    bytes += "\xD1\x01\x02";
    offsets << int(bytes.size());
    bytes += "\x53URL";
    offsets << int(bytes.size());
    if (url.size() < 15) {
        bytes += char(0x50 | url.size());
    } else {
        bytes += "\x5F\x11";
        bytes += char(url.size() >> 8);
        bytes += char(url.size() & 0xFF);
    }
    bytes += url;
    const qint64 table = bytes.size();
    for (int offset : offsets) {
        bytes += char(offset >> 8);
        bytes += char(offset & 0xFF);
    }
    QByteArray trailer(32, '\0');
    trailer[6] = 2; // offset size
    trailer[7] = 1; // reference size
    qToBigEndian<quint64>(3, trailer.data() + 8);
    qToBigEndian<quint64>(0, trailer.data() + 16);
    qToBigEndian<quint64>(quint64(table), trailer.data() + 24);
    return bytes + trailer;
}

inline QByteArray InternetShortcut(const QByteArray& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

inline QByteArray DesktopLink(const QByteArray& url) {
    return "[Desktop Entry]\nVersion=1.0\nType=Link\nName=Site\nURL=" + url + "\nIcon=text-html\n";
}

} // namespace fixtures
