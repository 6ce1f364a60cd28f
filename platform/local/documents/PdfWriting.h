// Writing new PDF documents with Qt: a picture on one page, and a text document printed onto as
// many pages as it needs. Sizes are in PDF points (1/72 inch). Each document goes through the
// one writer (AtomicFile.h): it appears at its path complete or not at all. Neither needs the
// GUI thread.
#pragma once

#include <QSizeF>
#include <QString>

class QImage;
class QTextDocument;

// One page of `pageSize` with the picture drawn over the whole page, and the document
// information's title and creator. False, with nothing written, on any failure.
bool WritePicturePdf(const QString& path, const QImage& picture, const QSizeF& pageSize,
                     const QString& title, const QString& creator);

// Margins of a printed page, as the desktop's default print settings give them: an inch left and
// right, an inch and a quarter top and bottom.
inline constexpr double kPrintMarginHorizontal = 72;
inline constexpr double kPrintMarginVertical = 90;

// The text flowed onto pages of `pageSize` within the print margins, one after another. The
// document itself is laid out for the pages (its page size, root frame margins and layout
// device change); its resources are asked of it while it is drawn. False, with nothing
// written, on any failure.
bool PrintTextDocumentPdf(const QString& path, QTextDocument& text, const QSizeF& pageSize,
                          const QString& title, const QString& creator);
