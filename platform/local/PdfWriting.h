// Writing new PDF documents with Qt: a picture on one page, and a text document printed onto as
// many pages as it needs. Sizes are in PDF points (1/72 inch).
#pragma once

#include <QSizeF>
#include <QString>

class QImage;
class QTextDocument;

// One page of `pageSize` with the picture drawn over the whole page, and the document
// information's title and creator. False when the file cannot be written.
bool WritePicturePdf(const QString& path, const QImage& picture, const QSizeF& pageSize,
                     const QString& title, const QString& creator);

// Margins of a printed page, as the desktop's default print settings give them: an inch left and
// right, an inch and a quarter top and bottom.
inline constexpr double kPrintMarginHorizontal = 72;
inline constexpr double kPrintMarginVertical = 90;

// The text flowed onto pages of `pageSize` within the print margins, one after another. False
// when the file cannot be written.
bool PrintTextDocumentPdf(const QString& path, const QTextDocument& text, const QSizeF& pageSize,
                          const QString& title, const QString& creator);
