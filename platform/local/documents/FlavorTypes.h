// Between the pasteboard's type identifiers and the MIME types the Linux clipboard speaks.
//
// The table holds the text and picture types; any other MIME type stands for itself, so that
// nothing a program offers is lost on the way.
#pragma once

#include <QString>

QString MimeTypeForFlavor(const QString& flavor);
QString FlavorForMimeType(const QString& mimeType);

// True for a picture flavor that this machine's image readers can decode.
bool FlavorIsDecodableImage(const QString& flavor);

// The image-writer format of a picture flavor ("png", "tiff", ...), empty for other flavors.
QByteArray ImageFormatForFlavor(const QString& flavor);
