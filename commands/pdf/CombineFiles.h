// Combining the selection into one PDF: every item turned into PDF where needed
// (PdfConversions.h), their pages joined in the selection's order into a document the user
// names, which is then opened. The converting and the combining run off the menu's thread; the
// save panel and the alerts come on it, in the order the work called for them.
#pragma once

#include "platform/local/documents/PdfDocuments.h"

#include <QString>
#include <QStringList>

// "Combine Files Into PDF".
void CombineFilesOfSelection();

// Writes the pages of every PDF of the list, in order, each page with its own boxes, into a new
// document at `destination` with this title and creator. A file that cannot be opened as a PDF
// is reported with the alert "This file could not be opened as a PDF:", one without pages with
// "This PDF has no pages:", and left out. The document replaces what is at `destination` only
// once it is complete. When no page could be copied, nothing is written and the alert "No page
// could be combined, so this file was not written:" names `destination`; when writing fails,
// "The output file could not be created." names it and gives the reason. False when nothing
// was written. The alerts about a file name it by `sources` (the file each PDF of the list was
// converted from, at the same index) where given, so that the user reads their own file's path,
// never that of an intermediate PDF.
bool zadAVOFiles(const QStringList& paths, const CGRect& mediaBox, const QString& destination,
                 const QString& title, const QString& creator, const QStringList& sources = {});
