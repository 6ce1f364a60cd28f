#include "commands/media/Exporters.h"

#include "platform/local/media/GraphicsExport.h"
#include "platform/services/StandardOutput.h"

#include <algorithm>

ExporterInfo* gTheExporters = nullptr;
SInt16 gNumberExporters = 0;

namespace {

constexpr qsizetype kTextLimit = 256;

// At most 256 bytes of `text`, ending on a whole UTF-8 character, NUL-terminated in `field`.
QString fill(char (&field)[kTextLimit + 1], const QByteArray& text) {
    qsizetype size = qMin(text.size(), kTextLimit);
    if (size < text.size()) {
        while (size > 0 && (quint8(text[size]) & 0xC0) == 0x80)
            --size;
    }
    std::copy_n(text.constData(), size, field);
    field[size] = '\0';
    return QString::fromUtf8(field, size);
}

} // namespace

void GetExportTypes() {
    if (gTheExporters)
        return;
    const std::vector<ExportImageType> types = GraphicsExportImageTypes();
    gNumberExporters = SInt16(qMin<size_t>(types.size(), 0x7fff));
    if (gNumberExporters == 0)
        return;
    gTheExporters = new ExporterInfo[size_t(gNumberExporters)]();
    WriteStandardOutput(
        QStringLiteral("Tarrowind: Loading %1 Quicktime exporters").arg(gNumberExporters));
    for (SInt16 index = 0; index < gNumberExporters; ++index) {
        WriteStandardOutput(QStringLiteral("."));
        const ExportImageType& from = types[size_t(index)];
        ExporterInfo& info = gTheExporters[index];
        info.type = from.type;
        for (int byte = 0; byte < 4; ++byte)
            info.typeString[byte] = char(from.type >> (24 - 8 * byte));
        info.typeString[4] = '\0';
        info.typeRef = QString::fromLatin1(info.typeString, 4);
        info.descriptionRef = fill(info.description, from.description);
        info.extensionRef = fill(info.extension, from.extension);
        info.mimeTypeRef = fill(info.mimeType, from.mimeType);
    }
    WriteStandardOutput(QStringLiteral("\nTarrowind: Quicktime exporters successfully loaded.\n"));
}

bool GetTypeForExtension(const QString& extension, OSType* type) {
    GetExportTypes();
    const ExporterInfo* found = nullptr;
    for (SInt16 index = 0; index < gNumberExporters; ++index) {
        if (gTheExporters[index].extensionRef.compare(extension, Qt::CaseInsensitive) == 0)
            found = &gTheExporters[index];
    }
    if (!found)
        return false;
    *type = found->type;
    return true;
}
