// Any bytes given to the RTF reader give a document or false: it never crashes, overflows the
// stack, reads out of bounds or allocates without bound.
#include "commands/pdf/RtfReader.h"

#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray rtf(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument document;
    if (!ReadRtfDocument(rtf, &document) && !document.isEmpty())
        std::abort();
    return 0;
}
