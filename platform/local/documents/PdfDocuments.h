// PDF documents: opening one to read its pages, boxes and information, and a document context
// that copies whole pages of other documents into a new file. Built on qpdf: a copied page keeps
// its content streams, resources, boxes and rotation as they are, so text stays text and vector
// stays vector.
#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

// A rectangle in PDF points: origin and size.
struct CGRect {
    float x = 0, y = 0, width = 0, height = 0;
};

class CGPDFDocument;
using CGPDFDocumentRef = std::shared_ptr<CGPDFDocument>;

// A PDF larger than this is not opened: scanned books and print-ready catalogues, the largest
// PDFs people keep, run to some hundreds of megabytes.
inline constexpr qint64 kMaxPdfFileBytes = qint64(2) << 30;
// qpdf repairs a damaged PDF by reading all of it for its objects, some 20 MB a second; a
// damaged PDF larger than this is not repaired but refused, rather than read for minutes.
inline constexpr qint64 kMaxRepairedPdfBytes = qint64(64) << 20;

// Opens the regular file at `path` (ReadOnlyFile.h; a FIFO, a device or a link to one is not
// opened) as a PDF document; null when it is not one (no "%PDF-" header in its first 1024
// bytes, or nothing qpdf can read or repair), is larger than kMaxPdfFileBytes, or is encrypted
// with a password the user would have to type. A damaged file of at most kMaxRepairedPdfBytes is
// repaired the way qpdf repairs it. With `keepFileOpen` false the file is closed between reads and
// reopened through the same check, so that many documents can be open at once without running out
// of file descriptors; a file replaced or changed meanwhile is then no longer read.
CGPDFDocumentRef CGPDFDocumentCreateWithPath(const QString& path, bool keepFileOpen = true);

std::size_t CGPDFDocumentGetNumberOfPages(const CGPDFDocumentRef& document);

// The media box of page `pageNumber` (1-based), as written or inherited.
CGRect CGPDFPageGetMediaBox(const CGPDFDocumentRef& document, std::size_t pageNumber);

// The document information's title and creator, where it has them.
struct PDFDocumentInfo {
    std::optional<QString> title;
    std::optional<QString> creator;
};
PDFDocumentInfo CGPDFDocumentGetInfo(const CGPDFDocumentRef& document);

// A new document being put together page by page, written out when it is closed.
class CGPDFContext;
using CGPDFContextRef = std::unique_ptr<CGPDFContext, void (*)(CGPDFContext*)>;

// A context for a new document at `path` with this title and creator. `mediaBox` is the
// document's default page size, used only by pages that bring none.
CGPDFContextRef CGPDFContextCreateWithPath(const QString& path, const CGRect& mediaBox,
                                           const QString& title, const QString& creator);

// Appends a copy of page `pageNumber` of `document`; false when the page cannot be copied.
// The document is kept open by the context until it is closed.
bool CGPDFContextAppendPage(CGPDFContext& context, const CGPDFDocumentRef& document,
                            std::size_t pageNumber);

// Writes the document: into a new file beside `path`, renamed over `path` only once it is
// complete, so a failure leaves whatever was at `path` as it was. False on any failure, with
// nothing left behind and the reason in `error` when given.
bool CGPDFContextClose(CGPDFContextRef context, QString* error = nullptr);
