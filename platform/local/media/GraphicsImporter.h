// Graphics importers: a reader for an image file, chosen by what the file holds, whatever its
// name says. Built on Qt's image readers and their format plugins.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <memory>
#include <optional>

class QFile;
class QImage;

class GraphicsImporter {
public:
    GraphicsImporter(std::unique_ptr<QFile> file, QByteArray format);
    ~GraphicsImporter();
    // The format that recognised the file ("png", "jpeg", ...).
    QByteArray format() const { return m_format; }
    QFile* file() const { return m_file.get(); }

private:
    std::unique_ptr<QFile> m_file;
    QByteArray m_format;
};

// cantFindHandler when no image reader recognises the file's content, fnfErr when the
// specification names no readable regular file. Only the file's header is looked at.
OSStatus GetGraphicsImporterForFile(const FSSpec* spec,
                                    std::unique_ptr<GraphicsImporter>* importer);

// A picture's pixels are refused beyond this, before they are allocated: a file may claim
// 100,000 x 100,000 pixels in a header of a few bytes.
inline constexpr int kMaxImportedImageMegabytes = 1024;

// The picture, decoded once at its own size with its EXIF orientation applied; none when it
// cannot be decoded or would need more than kMaxImportedImageMegabytes.
std::optional<QImage> GraphicsImportGetImage(const GraphicsImporter& importer);
