// Turning a selected file into a PDF of its own, by the route its type calls for, and the list
// of PDFs that combining works through.
//
//   the list                    PDFConvertedFinderSelection
//   the three routes            ConvertTextToPDF, ConvertImageToPDF, ConvertFilePreviewToPDF
//   where a converted file goes IntermediatePDFPath
//
// A converted file is named after its source ("notes.rtf" gives "notes.pdf") in a new folder of
// Velmora's temporary folder, and stays there. Its title is the source's file name and its
// creator "ZadAVO". A route that cannot read its source writes nothing and still gives the path,
// so that combining reports the file it could not open.
//
// Every source is read as a regular file within a cap for its kind (ReadOnlyFile.h): a FIFO, a
// device or a link to one is not read, nor is a file beyond its cap. An HTML file's pictures and
// style sheets come only from its own folder (HtmlDocument.h), a page Qt's HTML reader would
// take minutes over is read as its text (HtmlText.h), and the layout of every text is kept to
// seconds, a text too long to print refused (LayoutBounds.h). The routes need no GUI thread.
#pragma once

#include "platform/local/documents/PdfDocuments.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class QIODevice;

// Text is printed onto US Letter pages, a preview drawn at A4 size, when no media box is given.
inline constexpr QSize kTextPageSize(612, 792);
inline constexpr QSize kPreviewSize(595, 842);

// Files larger than this are not read as text (plain, RTF or HTML). RTF files and web pages
// saved whole carry their pictures inside as text, and reach some tens of megabytes; Qt's HTML
// reader holds about eight times a page's size while it reads it (260 MB at this cap). What a
// file may print is bounded apart (LayoutBounds.h).
inline constexpr qint64 kMaxTextFileBytes = 32 * 1024 * 1024;

// A picture is decoded with at most this many pixels (a 30,000 x 30,000 picture would need 3.6
// GB); its page keeps the picture's own size, so only the drawing gets coarser. Picture files
// are read up to FilePreview.h's kMaxPictureFileBytes.
inline constexpr qint64 kMaxPicturePixels = 40'000'000;

// The picture `device` holds, decoded with at most `maxPixels` pixels, and its own size as it
// is shown (turned as its EXIF orientation says).
std::optional<std::pair<QImage, QSize>> ReadPicture(QIODevice& device, qint64 maxPixels);

// The selection in the Finder's order, each item as a PDF: its own path for a PDF, the
// converted file's path otherwise. Items no route gives a path for are left out. `sources`
// (when given) gets the selected file each PDF of the list stands for, the name the user knows
// it by. The conversions run off the menu's thread (PDFConvertedFiles), the menu saying which
// file is at.
QStringList PDFConvertedFinderSelection(QStringList* sources = nullptr);
// The same for a list of paths, on the calling thread.
QStringList PDFConvertedFiles(const QStringList& paths, QStringList* sources = nullptr);

// The path a converted `source` is written to, in a new temporary folder; none when no folder
// can be made.
std::optional<QString> IntermediatePDFPath(const QString& source);

// Plain text (UTF-8, UTF-16 with its byte-order mark, else Latin-1), RTF and HTML, printed
// onto pages of the media box's size.
std::optional<QString> ConvertTextToPDF(const QString& source, const CGRect* mediaBox);
// One page the size of the picture in pixels, taken as points.
std::optional<QString> ConvertImageToPDF(const QString& source, const CGRect* mediaBox);
// One page the size of the file's preview, fitted into the media box's size.
std::optional<QString> ConvertFilePreviewToPDF(const QString& source, const CGRect* mediaBox);
