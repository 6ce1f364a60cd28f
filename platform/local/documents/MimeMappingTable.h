// The system-wide file mapping table: which MIME type each file name extension stands for, as
// /etc/mime.types writes it ("type ext ext ...", '#' comments). Each extension of a line is one
// entry, in the file's order, stored the way the Mac's mapping records keep it: the extension
// with its leading "." and the MIME type, both as Pascal strings.
#pragma once

#include <QString>
#include <vector>

struct ICMapEntry {
    unsigned char extension[256]; // length byte, then the bytes: ".html"
    unsigned char MIMEType[256];  // "text/html"
};

// The table's entries; none when the file cannot be read. Extensions or types longer than a
// Pascal string holds are cut at 255 bytes.
std::vector<ICMapEntry> ReadMimeMappingTable(const QString& path);
