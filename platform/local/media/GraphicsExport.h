// Graphics exporters: writing an image in a file format, built on Qt's image writers.
//
// Each format Qt can write is one export type, named by a four-character type code: QuickTime's
// own code where it has one ('PNGf', 'JPEG', 'TIFF', 'BMPf', 'GIFf', ...), else the format's
// extension in capitals, padded with blanks.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

struct ExportImageType {
    OSType type;
    QByteArray description; // shared-mime-info's comment for the MIME type
    QByteArray extension;   // the MIME type's preferred extension, "png"
    QByteArray mimeType;
};

// One type a MIME type that Qt's writers offer, in the order Qt lists them.
std::vector<ExportImageType> GraphicsExportImageTypes();

// The highest quality: 1023 of 1024, the top of the lossy scale.
constexpr int codecMaxQuality = 1023;

// The image written in the format of `type`, at `quality` (0 to codecMaxQuality); none when no
// writer has that type or writing fails. Lossy formats map the quality onto their own scale.
// PNG is lossless at every setting: its quality is only how hard zlib works, and the fast
// level is used, so a large picture is not held up for a few per cent of size.
std::optional<QByteArray> GraphicsExportImage(const QImage& image, OSType type, int quality);
