// Rich text for printing: RTF read into a QTextDocument, which the text route prints to PDF.
//
//   the reader                  ReadRtfDocument
//
// The document keeps the text with its fonts, sizes, bold, italic, underline, strike-out, colour
// and paragraph alignment. Pictures, objects, headers, footers, footnotes and the document's
// metadata are left out. RtfReader.cpp says what is read and what bounds a damaged or hostile
// file meets.
#pragma once

#include <QByteArray>

class QTextDocument;

// Reads RTF text into `document`, replacing its content. False, with `document` untouched, when
// `rtf` is not RTF (does not start with "{\rtf" after optional leading whitespace); true
// otherwise, even when the text is damaged: what can be read is kept.
bool ReadRtfDocument(const QByteArray& rtf, QTextDocument* document);
