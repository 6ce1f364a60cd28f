#include "platform/local/media/GraphicsImporter.h"

#include "platform/local/files/Files.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

GraphicsImporter::GraphicsImporter(std::unique_ptr<QFile> file, QByteArray format)
    : m_file(std::move(file)), m_format(std::move(format)) {}

GraphicsImporter::~GraphicsImporter() = default;

OSStatus GetGraphicsImporterForFile(const FSSpec* spec,
                                    std::unique_ptr<GraphicsImporter>* importer) {
    if (!spec || !importer)
        return paramErr;
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(&spec->ref, &path); status != noErr)
        return status;
    auto file = OpenRegularFile(QFile::decodeName(path));
    if (!file)
        return fnfErr;
    // Asking for the format reads only the header through each installed format handler.
    const QByteArray format = QImageReader::imageFormat(file.get());
    if (format.isEmpty())
        return cantFindHandler;
    file->seek(0);
    *importer = std::make_unique<GraphicsImporter>(std::move(file), format);
    return noErr;
}

std::optional<QImage> GraphicsImportGetImage(const GraphicsImporter& importer) {
    QFile* file = importer.file();
    if (!file->seek(0))
        return std::nullopt;
    QImageReader reader(file, importer.format());
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kMaxImportedImageMegabytes);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}
